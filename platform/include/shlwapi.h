// shlwapi path helpers for non-Windows builds, with the real names and signatures.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Removes the extension (from the last '.' on) of the path's last component, in place.
void WINAPI PathRemoveExtensionA(LPSTR pszPath);
#define PathRemoveExtension PathRemoveExtensionA

#ifdef __cplusplus
}
#endif
