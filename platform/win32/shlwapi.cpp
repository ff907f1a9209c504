// shlwapi's path-extension removal.
#include <shlwapi.h>

extern "C" void WINAPI PathRemoveExtensionA(LPSTR pszPath) {
    if (!pszPath) return;
    // As Windows finds an extension: the last '.' of the last component, where a space
    // after the dot means there is none. Both '\\' and '/' separate components here.
    char* extension = nullptr;
    for (char* p = pszPath; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ' ')
            extension = nullptr;
        else if (*p == '.')
            extension = p;
    }
    if (extension) *extension = '\0';
}
