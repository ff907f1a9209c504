// Every test here runs on the virtual display, whatever display the machine has, so window
// placement, activation and the mode list are the same everywhere.
#include <stdlib.h>

namespace {
const bool forced = [] {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    unsetenv("QUARVEL_DISPLAY_MODES");
    unsetenv("QUARVEL_INPUT_SCRIPT");
    return true;
}();
}  // namespace
