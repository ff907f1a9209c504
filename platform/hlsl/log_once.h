// Reports a path this stand-in does not support, once per function and topic, on stderr.
#pragma once

#include <string>

namespace quarvel::hlsl {

void LogUnsupportedOnce(const char* function, const std::string& what);

}  // namespace quarvel::hlsl
