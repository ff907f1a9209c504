// The library's error code: one per calling thread, set by every call.
#pragma once

namespace quarvel::bass {

void SetError(int code);
int LastError();

}  // namespace quarvel::bass
