// The process entry point on platforms without one of their own: Windows starts a GUI
// program at WinMain, so we do the same. The exit status is WinMain's result truncated to
// eight bits by the operating system (-1 becomes 255, E_FAIL becomes 5).
#include <quarvel/record.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/video.h"
#include "d3d11/live_objects.h"

namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

}  // namespace

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    // A recording run (QUARVEL_RECORD) sets up its clock before anything reads the time.
    if (!quarvel::record::Start()) return 2;
    // A program that plays for a person and has none to show it to would play unseen to its
    // end. The virtual display stays open to whoever asks for it by name.
    if (!quarvel::record::Active() && !quarvel::core::HasDisplayServer() && !Set("SDL_VIDEODRIVER")) {
        std::fprintf(stderr,
                     "quarvel: there is no display to show this on (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                     "record it instead with QUARVEL_RECORD=quarvel.mp4, or ask for the invisible virtual display "
                     "with SDL_VIDEODRIVER=offscreen\n");
        return 2;
    }
    static char emptyCommandLine[] = "";
    const int status =
        quarvel::record::Finish(WinMain(GetModuleHandleA(nullptr), nullptr, emptyCommandLine, SW_SHOWDEFAULT));
    // What the program left for the process's end to take (QUARVEL_D3D11_LIVE_OBJECTS=1).
    if (Set("QUARVEL_D3D11_LIVE_OBJECTS"))
        std::fprintf(stderr, "d3d11: alive at exit: %s\nd3d11: held by the program at exit: %s\n",
                     quarvel::d3d11::LiveObjectSummary().c_str(), quarvel::d3d11::HeldObjectSummary().c_str());
    return status;
}
