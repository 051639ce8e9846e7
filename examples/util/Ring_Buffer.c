/*
 * Ring_Buffer.c - byte FIFO for interrupt-to-task hand-over.
 */
#include "Ring_Buffer.h"

static uint32 Ring_udOverflowCount;
static uint8 Ring_ucPeakCount;

static uint8 NextIndex(uint8 ucIndex, uint8 ucSteps)
{
  return (uint8)((ucIndex + ucSteps) % RING_BUFFER_SIZE);
}

void Ring_Init(Ring_Buffer_t *pBuffer)
{
  pBuffer->ucHead = 0u;
  pBuffer->ucCount = 0u;
}

boolean Ring_Put(Ring_Buffer_t *pBuffer, uint8 ucValue)
{
  uint8 tail;

  if (pBuffer->ucCount >= RING_BUFFER_SIZE) {
    Ring_udOverflowCount++;
    return FALSE;
  }
  tail = NextIndex(pBuffer->ucHead, pBuffer->ucCount);
  pBuffer->ucData_List[tail] = ucValue;
  pBuffer->ucCount++;
  if (pBuffer->ucCount > Ring_ucPeakCount) {
    Ring_ucPeakCount = pBuffer->ucCount;
  }
  return TRUE;
}

boolean Ring_Get(Ring_Buffer_t *pBuffer, uint8 *ucValue)
{
  if (pBuffer->ucCount == 0u) {
    return FALSE;
  }
  *ucValue = pBuffer->ucData_List[pBuffer->ucHead];
  pBuffer->ucHead = NextIndex(pBuffer->ucHead, 1u);
  pBuffer->ucCount--;
  return TRUE;
}

uint8 Ring_Count(const Ring_Buffer_t *pBuffer)
{
  return pBuffer->ucCount;
}
