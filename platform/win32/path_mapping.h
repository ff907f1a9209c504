// Windows paths in the system's strings ("Shaders\\Bloom.shader") name files here by turning
// every backslash into a slash. Done once, in CreateFileA and in the fopen wrapper.
#pragma once

#include <string>

namespace quarvel::win32 {

std::string HostPath(const char* windowsPath);

}  // namespace quarvel::win32
