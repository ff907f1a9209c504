// The display modes EnumDisplaySettingsA reports: SDL's modes of the primary display, a fixed
// list on the virtual display (no display server), or the list in QUARVEL_DISPLAY_MODES.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

namespace quarvel::win32 {

struct DisplayMode {
    DWORD width;
    DWORD height;
    DWORD bitsPerPixel;
    DWORD frequency;
};

// Parses "WIDTHxHEIGHTxBPP@HZ,..." (spaces around entries allowed). Malformed entries are
// skipped and named in `rejected`.
std::vector<DisplayMode> ParseDisplayModes(const std::string& text, std::vector<std::string>* rejected);

// An SDL mode as Windows reports it.
DisplayMode DisplayModeFromSdl(int width, int height, uint32_t sdlPixelFormat, int refreshRate);

// Modes in enumeration order: ascending size, then depth, then refresh rate, so modes that
// differ only in refresh rate come one after another, as Windows lists them.
std::vector<DisplayMode> DisplayModes();

// The mode the desktop is in now.
bool CurrentDisplayMode(DisplayMode* mode);

}  // namespace quarvel::win32
