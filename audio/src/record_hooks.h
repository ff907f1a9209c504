// The recording mode of the platform (QUARVEL_RECORD), as far as the library takes part in
// it: its output clock then follows the recording's virtual clock. Windows has no recording
// mode; there every hook is a no-op.
#pragma once

#if defined(_WIN32)
#include <stdint.h>
namespace quarvel::record {
inline bool Active() { return false; }
inline uint64_t AudioFramesHeard() { return 0; }
inline void MusicFileOpened(const char*) {}
inline void MusicStarted() {}
inline bool MusicOver() { return false; }
}  // namespace quarvel::record
#else
#include <quarvel/record.h>
#endif
