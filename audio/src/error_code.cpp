#include "error_code.h"

#include <bass.h>

namespace quarvel::audio {
namespace {
thread_local int lastError = BASS_OK;
}

void SetError(int code) { lastError = code; }
int LastError() { return lastError; }

}  // namespace quarvel::audio
