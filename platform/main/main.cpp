// The process entry point on platforms without one of their own: Windows starts a GUI
// program at WinMain, so we do the same. The exit status is WinMain's result truncated to
// eight bits by the operating system (-1 becomes 255, E_FAIL becomes 5).
#include <quarvel/record.h>
#include <windows.h>

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    // A recording run (QUARVEL_RECORD) sets up its clock before anything reads the time.
    if (!quarvel::record::Start()) return 2;
    static char emptyCommandLine[] = "";
    return quarvel::record::Finish(WinMain(GetModuleHandleA(nullptr), nullptr, emptyCommandLine, SW_SHOWDEFAULT));
}
