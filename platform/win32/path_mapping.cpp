#include "path_mapping.h"

#include <algorithm>

namespace quarvel::win32 {

std::string HostPath(const char* windowsPath) {
    std::string path = windowsPath ? windowsPath : "";
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace quarvel::win32
