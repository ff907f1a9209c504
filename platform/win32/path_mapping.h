// Windows paths in the system's strings ("Shaders\\Bloom.shader") name files here by turning
// every backslash into a slash. Done once, in CreateFileA and in the fopen wrapper.
#pragma once

#include <string>

namespace quarvel::platform {

std::string HostPath(const char* windowsPath);

}  // namespace quarvel::platform
