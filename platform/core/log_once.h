// The stand-ins' diagnostics that a program could trigger on every frame or every call:
// each distinct line is printed once per process, on standard error, as
// "area: function: text".
#pragma once

#include <string>

namespace quarvel::core {

// Prints the line unless this process has printed the same one before. True when it printed.
bool LogOnce(const char* area, const char* function, const std::string& text);

}  // namespace quarvel::core
