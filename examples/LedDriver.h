/*
 * LedDriver.h - PWM-dimmed status LEDs on the front panel.
 */
#ifndef LED_DRIVER_H
#define LED_DRIVER_H

#include "Platform_Types.h"

#define LED_DRIVER_CHANNEL_COUNT 4u
#define LED_DRIVER_BRIGHTNESS_MAX 255u
#define LedDriver_BlinkPeriodMs 500u

typedef enum LedDriver_enumModeTag { LED_DRIVER_MODE_OFF, LED_DRIVER_MODE_ON, LED_DRIVER_MODE_blink } LedDriver_Mode_t;

typedef struct LedDriver_structChannelTag { uint8 ucPin; uint8 ucBrightness; uint8 ucMode; } LedDriver_Channel_t;

void LedDriver_Init(void);
void LedDriver_SetMode(uint8 ucChannel, LedDriver_Mode_t enumMode);
void LedDriver_SetBrightness(uint8 ucChannel, uint8 ucBrightness);
uint8 LedDriver_GetBrightness(uint8 ucChannel);
void LedDriver_Tick(void);

#endif /* LED_DRIVER_H */
