// The audio library's calls that this program makes: a music stream decoded from a file,
// played on the default output, whose position, level and spectrum are those of the sound
// being heard at the moment of the call.
#pragma once

#include <stdint.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint64_t QWORD;
typedef DWORD HSTREAM;

// Position modes.
#define BASS_POS_BYTE 0

// Channel states returned by BASS_ChannelIsActive.
#define BASS_ACTIVE_STOPPED 0
#define BASS_ACTIVE_PLAYING 1
#define BASS_ACTIVE_STALLED 2
#define BASS_ACTIVE_PAUSED 3

// BASS_ChannelGetData: 2048-sample FFT, 1024 float magnitudes.
#define BASS_DATA_FFT2048 0x80000003

// BASS_ChannelGetLevelEx flags.
#define BASS_LEVEL_MONO 1
#define BASS_LEVEL_STEREO 2
#define BASS_LEVEL_RMS 4

// Error codes.
#define BASS_OK 0
#define BASS_ERROR_MEM 1
#define BASS_ERROR_FILEOPEN 2
#define BASS_ERROR_DRIVER 3
#define BASS_ERROR_HANDLE 5
#define BASS_ERROR_FORMAT 6
#define BASS_ERROR_POSITION 7
#define BASS_ERROR_INIT 8
#define BASS_ERROR_START 9
#define BASS_ERROR_ALREADY 14
#define BASS_ERROR_ILLPARAM 20
#define BASS_ERROR_NOPLAY 24
#define BASS_ERROR_NOTAVAIL 37
#define BASS_ERROR_DEVICE 23
#define BASS_ERROR_ENDED 45
#define BASS_ERROR_FILEFORM 41
#define BASS_ERROR_UNKNOWN -1

BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND win, const void* dsguid);
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags);
int BASS_ErrorGetCode(void);
BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
DWORD BASS_ChannelIsActive(DWORD handle);
QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode);
double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos);
BOOL BASS_Update(DWORD length);
BOOL BASS_ChannelGetLevelEx(DWORD handle, float* levels, float length, DWORD flags);
DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length);
BOOL BASS_ChannelStop(DWORD handle);

// Not called by the program, which leaves both to process exit; for tools and tests.
BOOL BASS_Free(void);
BOOL BASS_StreamFree(HSTREAM handle);

#ifdef __cplusplus
}
#endif
