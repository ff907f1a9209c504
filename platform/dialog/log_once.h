// Diagnostics of the dialog stand-in, on standard error.
#pragma once

#include <string>

namespace quarvel::platform::dialog {

// Reports once per distinct (function, what) that something Windows does is not done here.
void LogUnsupportedOnce(const char* function, const std::string& what);

// Reports a problem with the setup automation's environment once per distinct text.
void LogOnce(const char* function, const std::string& what);

}  // namespace quarvel::platform::dialog
