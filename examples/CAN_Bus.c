/*
 * CAN_Bus.c - transmit queue of the on-chip CAN controller.
 */
#include "Platform_Types.h"
#include "config/ConfigBoard.h"

#define CAN_TX_MAILBOXES 3u
#define CAN_ID_MASK 0x7FFu

typedef uint8 CanStatus_t;
typedef struct CAN_structFrameTag { uint32 udId; uint8 ucLength; uint8 ucData_List[8]; } CAN_Frame_t;

extern uint32 ConfigBoard_udSerialNumber;
extern uint16 unSystemTicks;

static CAN_Frame_t CAN_TxQueue_List[CAN_TX_MAILBOXES];
static uint8 CAN_ucTxHead;
static uint8 CAN_ucTxCount;
static uint32 CAN_udErrorCount;

boolean CAN_Send(uint32 udId, const uint8 *ucData, uint8 ucLength)
{
  CAN_Frame_t *pFrame;
  uint8 ucIndex;

  if ((CAN_ucTxCount >= CAN_TX_MAILBOXES) || (ucLength > 8u)) {
    CAN_udErrorCount++;
    return FALSE;
  }
  pFrame = &CAN_TxQueue_List[(CAN_ucTxHead + CAN_ucTxCount) % CAN_TX_MAILBOXES];
  pFrame->udId = udId & CAN_ID_MASK;
  pFrame->ucLength = ucLength;
  for (ucIndex = 0u; ucIndex < ucLength; ucIndex++) {
    pFrame->ucData_List[ucIndex] = ucData[ucIndex];
  }
  CAN_ucTxCount++;
  return TRUE;
}

CanStatus_t CAN_GetStatus(void)
{
  return (CAN_udErrorCount > 0u) ? 1u : 0u;
}
