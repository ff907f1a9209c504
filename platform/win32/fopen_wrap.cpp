// The C runtime's fopen, reached through the linker's --wrap so that system code keeps its
// Windows path strings and still opens the files.
#include <stdio.h>

#include "path_mapping.h"

extern "C" {

FILE* __real_fopen(const char* path, const char* mode);
FILE* __real_fopen64(const char* path, const char* mode);

FILE* __wrap_fopen(const char* path, const char* mode) {
    if (!path) return __real_fopen(path, mode);
    return __real_fopen(quarvel::win32::HostPath(path).c_str(), mode);
}

FILE* __wrap_fopen64(const char* path, const char* mode) {
    if (!path) return __real_fopen64(path, mode);
    return __real_fopen64(quarvel::win32::HostPath(path).c_str(), mode);
}

}  // extern "C"
