/*
 * Ring_Buffer.h - byte FIFO for interrupt-to-task hand-over.
 */
#ifndef RING_BUFFER_H
#define RING_BUFFER_H

#include "Platform_Types.h"

#define RING_BUFFER_SIZE 32u

typedef struct Ring_structBufferTag { uint8 ucData_List[RING_BUFFER_SIZE]; uint8 ucHead; uint8 ucCount; } Ring_Buffer_t;

void Ring_Init(Ring_Buffer_t *pBuffer);
boolean Ring_Put(Ring_Buffer_t *pBuffer, uint8 ucValue);
boolean Ring_Get(Ring_Buffer_t *pBuffer, uint8 *ucValue);
uint8 Ring_Count(const Ring_Buffer_t *pBuffer);

#endif /* RING_BUFFER_H */
