/*
 * ConfigBoard.h - settings of the front-panel controller board.
 */
#ifndef CONFIG_BOARD_H
#define CONFIG_BOARD_H

#define BOARD_CPU_CLOCK_HZ 16000000uL
#define BOARD_LED_COUNT 4u
#define BOARD_CAN_BITRATE_KBPS 500u
#define BOARD_WATCHDOG_TIMEOUT_MS 100u
#define BoardHasDisplay 0u

extern uint32 ConfigBoard_udSerialNumber;
extern const uint8 ConfigBoard_ucHardwareRevision;
extern uint16 BoardVariant;

#endif /* CONFIG_BOARD_H */
