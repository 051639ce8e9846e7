/*
 * LedDriver.c - PWM-dimmed status LEDs on the front panel.
 */
#include "LedDriver.h"
#include "config/ConfigBoard.h"

#define LED_DRIVER_PORT (*(volatile uint8 *)0x25u)
#define LED_DRIVER_TICKS_PER_BLINK 50u
#define PWM_STEPS 16u

static LedDriver_Channel_t LedDriver_Channel_List[LED_DRIVER_CHANNEL_COUNT];
static const uint8 LedDriver_ucPinMap[LED_DRIVER_CHANNEL_COUNT] = {3u, 4u, 5u, 7u};
static uint16 LedDriver_unTickCount;
static boolean boInitDone = FALSE;

static void LedDriver_WritePin(uint8 ucPin, boolean boLevel)
{
  if (boLevel) {
    LED_DRIVER_PORT |= (uint8)(1u << ucPin);
  } else {
    LED_DRIVER_PORT &= (uint8)~(1u << ucPin);
  }
}

void LedDriver_Init(void)
{
  uint8 ucChannel;

  for (ucChannel = 0u; ucChannel < LED_DRIVER_CHANNEL_COUNT; ucChannel++) {
    LedDriver_Channel_List[ucChannel].ucPin = LedDriver_ucPinMap[ucChannel];
    LedDriver_Channel_List[ucChannel].ucBrightness = 0u;
    LedDriver_Channel_List[ucChannel].ucMode = (uint8)LED_DRIVER_MODE_OFF;
  }
  LedDriver_unTickCount = 0u;
  boInitDone = TRUE;
}

void LedDriver_SetMode(uint8 ucChannel, LedDriver_Mode_t enumMode)
{
  LedDriver_Channel_List[ucChannel].ucMode = (uint8)enumMode;
}

void LedDriver_SetBrightness(uint8 ucChannel, uint8 ucBrightness)
{
  LedDriver_Channel_List[ucChannel].ucBrightness = ucBrightness;
}

uint8 LedDriver_GetBrightness(uint8 channel)
{
  return LedDriver_Channel_List[channel].ucBrightness;
}

void LedDriver_Tick(void)
{
  uint8 i;
  uint8 ucPhase = (uint8)(LedDriver_unTickCount % PWM_STEPS);
  boolean boBlinkOn = ((LedDriver_unTickCount / LED_DRIVER_TICKS_PER_BLINK) % 2u) == 0u;

  for (i = 0u; i < LED_DRIVER_CHANNEL_COUNT; i++) {
    LedDriver_Channel_t *pChannel = &LedDriver_Channel_List[i];
    boolean boOn = (pChannel->ucBrightness / PWM_STEPS) > ucPhase;
    if (pChannel->ucMode == (uint8)LED_DRIVER_MODE_OFF) {
      boOn = FALSE;
    } else if (pChannel->ucMode == (uint8)LED_DRIVER_MODE_blink) {
      boOn = boOn && boBlinkOn;
    }
    LedDriver_WritePin(pChannel->ucPin, boOn);
  }
  LedDriver_unTickCount++;
}
