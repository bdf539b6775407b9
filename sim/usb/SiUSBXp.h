#pragma once

// The USBXpress calls the program makes, as a library of our own that
// answers like the tester behind its USB bridge. Types follow the
// documented API with Windows types mapped to fixed-size ones.

#include <stdint.h>

#define SI_SIM_EXPORT __attribute__((visibility("default")))

typedef int SI_STATUS;
typedef uint32_t DWORD;
typedef DWORD* LPDWORD;
typedef void* HANDLE;
typedef void* LPVOID;
typedef struct _OVERLAPPED OVERLAPPED; // accepted and ignored: transfers are synchronous

#define SI_SUCCESS 0x00
#define SI_INVALID_HANDLE 0x01
#define SI_READ_ERROR 0x02
#define SI_RX_QUEUE_NOT_READY 0x03
#define SI_WRITE_ERROR 0x04
#define SI_RESET_ERROR 0x05
#define SI_INVALID_PARAMETER 0x06
#define SI_INVALID_REQUEST_LENGTH 0x07
#define SI_DEVICE_IO_FAILED 0x08
#define SI_READ_TIMED_OUT 0x0D
#define SI_WRITE_TIMED_OUT 0x0E
#define SI_DEVICE_NOT_FOUND 0xFF

#define SI_RETURN_SERIAL_NUMBER 0x00
#define SI_RETURN_DESCRIPTION 0x01
#define SI_RETURN_LINK_NAME 0x02
#define SI_RETURN_VID 0x03
#define SI_RETURN_PID 0x04

#define SI_RX_EMPTY 0x00
#define SI_RX_OVERRUN 0x01
#define SI_RX_READY 0x02

#define SI_MAX_DEVICE_STRLEN 256
#define SI_MAX_READ_SIZE (4096 * 16)
#define SI_MAX_WRITE_SIZE 4096

#ifdef __cplusplus
extern "C" {
#endif

SI_SIM_EXPORT SI_STATUS SI_GetNumDevices(LPDWORD lpdwNumDevices);
SI_SIM_EXPORT SI_STATUS SI_GetProductString(DWORD dwDeviceNum, LPVOID lpvDeviceString,
                                            DWORD dwFlags);
SI_SIM_EXPORT SI_STATUS SI_Open(DWORD dwDevice, HANDLE* cyHandle);
SI_SIM_EXPORT SI_STATUS SI_Close(HANDLE cyHandle);
SI_SIM_EXPORT SI_STATUS SI_Read(HANDLE cyHandle, LPVOID lpBuffer, DWORD dwBytesToRead,
                                LPDWORD lpdwBytesReturned, OVERLAPPED* o);
SI_SIM_EXPORT SI_STATUS SI_Write(HANDLE cyHandle, LPVOID lpBuffer, DWORD dwBytesToWrite,
                                 LPDWORD lpdwBytesWritten, OVERLAPPED* o);
SI_SIM_EXPORT SI_STATUS SI_SetTimeouts(DWORD dwReadTimeout, DWORD dwWriteTimeout);
SI_SIM_EXPORT SI_STATUS SI_GetTimeouts(LPDWORD lpdwReadTimeout, LPDWORD lpdwWriteTimeout);
SI_SIM_EXPORT SI_STATUS SI_CheckRXQueue(HANDLE cyHandle, LPDWORD lpdwNumBytesInQueue,
                                        LPDWORD lpdwQueueStatus);

// The simulator's own knobs.
// Takes the option text of oltc-sim ("--brand 2 --stored 5 --fault F8:noanswer",
// "--devices 0", "--product TEXT"); null reads OLTC_SIM_USB again. Resets the
// device: closed, empty queues, fresh test state, empty request log. Returns
// 0, or 2 for bad options (the device is then left as it was).
SI_SIM_EXPORT int SimUsb_Configure(const char* options);
// Why the last SimUsb_Configure failed (also a bad OLTC_SIM_USB); empty otherwise.
SI_SIM_EXPORT const char* SimUsb_LastError(void);
// The requests the device received, one a line: "<ms since epoch> <hex> | <note>".
// Copies at most size - 1 bytes and a terminating zero; returns the full length.
SI_SIM_EXPORT int SimUsb_RequestLog(char* buffer, int size);
SI_SIM_EXPORT void SimUsb_ClearRequestLog(void);

#ifdef __cplusplus
}
#endif
