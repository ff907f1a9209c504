// Messages of the Direct3D stand-in. Validation failures explain what is wrong with a
// description; unsupported features are reported once each, naming the function.
#pragma once

namespace quarvel::d3d11 {

// Reports that `function` met a feature this implementation does not provide. Each distinct
// (function, what) pair is printed once per process.
void LogUnsupported(const char* function, const char* what);

// Explains why `function` rejected its arguments (printf-style). Repeated identical
// messages are printed once, so a program that retries every frame does not flood stderr.
void LogInvalid(const char* function, const char* format, ...) __attribute__((format(printf, 2, 3)));

// A failure of the GL side that Direct3D has no way to report (a link error, a lost context).
void LogError(const char* function, const char* format, ...) __attribute__((format(printf, 2, 3)));

// A call that Direct3D does not survive: it dereferences the null resource it is given, and
// the program crashes on Windows. Here it is reported once and answered as bad use, unless
// QUARVEL_D3D11_STRICT=1, which aborts, so that a test run stops where Windows would.
void LogFault(const char* function, const char* what);

}  // namespace quarvel::d3d11
