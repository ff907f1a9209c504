// The process entry point on platforms without one of their own: Windows starts a GUI
// program at WinMain, so we do the same. The exit status is WinMain's result truncated to
// eight bits by the operating system (-1 becomes 255, E_FAIL becomes 5).
#include <windows.h>

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    static char emptyCommandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, emptyCommandLine, SW_SHOWDEFAULT);
}
