// The library's error code: one per calling thread, set by every call.
#pragma once

namespace quarvel::audio {

void SetError(int code);
int LastError();

}  // namespace quarvel::audio
