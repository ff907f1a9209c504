#include "window_class.h"

#include <strings.h>

#include <deque>
#include <mutex>

namespace quarvel::win32 {
namespace {

std::mutex classesMutex;
// A deque keeps every record at a fixed address for the pointers handed out.
std::deque<WindowClass>& Classes() {
    static std::deque<WindowClass> classes;
    return classes;
}
ATOM nextAtom = 0xC000;  // where Windows starts numbering registered class atoms

const WindowClass* FindLocked(LPCSTR nameOrAtom) {
    for (const WindowClass& c : Classes()) {
        if (IS_INTRESOURCE(nameOrAtom) ? c.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(nameOrAtom))
                                       : strcasecmp(c.name.c_str(), nameOrAtom) == 0)
            return &c;
    }
    return nullptr;
}

}  // namespace

const WindowClass* FindWindowClass(LPCSTR nameOrAtom) {
    if (!nameOrAtom) return nullptr;
    std::lock_guard<std::mutex> lock(classesMutex);
    return FindLocked(nameOrAtom);
}

}  // namespace quarvel::win32

extern "C" ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpwcx) {
    using namespace quarvel::win32;
    if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXA) || !lpwcx->lpfnWndProc || lpwcx->cbClsExtra < 0 ||
        lpwcx->cbWndExtra < 0 || !lpwcx->lpszClassName || IS_INTRESOURCE(lpwcx->lpszClassName) ||
        !lpwcx->lpszClassName[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard<std::mutex> lock(classesMutex);
    if (FindLocked(lpwcx->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    WindowClass& added = Classes().emplace_back();
    added.name = lpwcx->lpszClassName;
    added.atom = nextAtom++;
    added.desc = *lpwcx;
    added.desc.lpszClassName = added.name.c_str();
    added.desc.lpszMenuName = nullptr;  // menus are not kept; nothing reads them
    return added.atom;
}
