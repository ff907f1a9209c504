// Registered window classes, looked up by name (case-insensitively, as Windows does) or atom.
#pragma once

#include <windows.h>

#include <string>

namespace quarvel::win32 {

struct WindowClass {
    std::string name;
    ATOM atom;
    WNDCLASSEXA desc;  // lpszClassName points into `name`
};

const WindowClass* FindWindowClass(LPCSTR nameOrAtom);

}  // namespace quarvel::win32
