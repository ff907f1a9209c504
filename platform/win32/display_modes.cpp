#include "display_modes.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <mutex>

#include "core/log_once.h"
#include "core/video.h"

namespace quarvel::win32 {
namespace {

// The virtual display: sizes a real desktop offers, one refresh-rate pair of the same size
// side by side, one 16-bit mode, everything else 32-bit.
const DisplayMode kVirtualModes[] = {
    {640, 360, 32, 60},   {800, 600, 32, 60},   {1024, 768, 32, 60},  {1280, 720, 16, 60},
    {1280, 720, 32, 60},  {1280, 720, 32, 75},  {1280, 1024, 32, 60}, {1366, 768, 32, 60},
    {1600, 900, 32, 60},  {1920, 1080, 32, 60}, {2560, 1080, 32, 60},
};
const DisplayMode kVirtualDesktop = {1920, 1080, 32, 60};

bool ParseNumber(const std::string& text, size_t* at, char terminator, DWORD* value) {
    size_t start = *at;
    unsigned long number = 0;
    while (*at < text.size() && text[*at] >= '0' && text[*at] <= '9') {
        number = number * 10 + static_cast<unsigned long>(text[*at] - '0');
        if (number > 1000000) return false;
        ++*at;
    }
    if (*at == start) return false;
    if (terminator) {
        if (*at >= text.size() || text[*at] != terminator) return false;
        ++*at;
    } else if (*at != text.size()) {
        return false;
    }
    *value = static_cast<DWORD>(number);
    return true;
}

bool ParseEntry(const std::string& entry, DisplayMode* mode) {
    size_t at = 0;
    return ParseNumber(entry, &at, 'x', &mode->width) && ParseNumber(entry, &at, 'x', &mode->height) &&
           ParseNumber(entry, &at, '@', &mode->bitsPerPixel) && ParseNumber(entry, &at, 0, &mode->frequency) &&
           mode->width > 0 && mode->height > 0 && mode->bitsPerPixel > 0;
}

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The override list, parsed again only when the variable changes (tests change it between
// cases), and each complaint printed once.
const std::vector<DisplayMode>* OverrideModes() {
    static std::mutex mutex;
    static std::string cachedText;
    static bool cachedSet = false;
    static std::vector<DisplayMode> cachedModes;
    const char* value = std::getenv("QUARVEL_DISPLAY_MODES");
    std::lock_guard<std::mutex> lock(mutex);
    if (!value) {
        cachedSet = false;
        return nullptr;
    }
    if (!cachedSet || cachedText != value) {
        std::vector<std::string> rejected;
        cachedModes = ParseDisplayModes(value, &rejected);
        cachedText = value;
        cachedSet = true;
        for (const std::string& entry : rejected)
            core::LogOnce("win32", "EnumDisplaySettingsA",
                          "QUARVEL_DISPLAY_MODES: \"" + entry + "\" is not WIDTHxHEIGHTxBPP@HZ; skipped");
    }
    return &cachedModes;
}

DisplayMode FromSdl(const SDL_DisplayMode& sdl) { return DisplayModeFromSdl(sdl.w, sdl.h, sdl.format, sdl.refresh_rate); }

}  // namespace

DisplayMode DisplayModeFromSdl(int width, int height, uint32_t sdlPixelFormat, int refreshRate) {
    // A depth-24 X server hands out 32-bit pixels: the depth Windows reports is the bytes
    // per pixel times 8, not the colour bits.
    return DisplayMode{static_cast<DWORD>(width), static_cast<DWORD>(height),
                       static_cast<DWORD>(SDL_BYTESPERPIXEL(sdlPixelFormat) * 8), static_cast<DWORD>(refreshRate)};
}

std::vector<DisplayMode> ParseDisplayModes(const std::string& text, std::vector<std::string>* rejected) {
    std::vector<DisplayMode> modes;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        std::string entry = Trim(text.substr(start, comma - start));
        DisplayMode mode{};
        if (ParseEntry(entry, &mode))
            modes.push_back(mode);
        else if (!entry.empty() || comma < text.size())
            if (rejected) rejected->push_back(entry);
        start = comma + 1;
    }
    return modes;
}

std::vector<DisplayMode> DisplayModes() {
    if (const std::vector<DisplayMode>* override = OverrideModes()) return *override;
    if (!core::InitVideo() || core::IsHeadless()) return {std::begin(kVirtualModes), std::end(kVirtualModes)};
    std::vector<DisplayMode> modes;
    int count = SDL_GetNumDisplayModes(0);
    // SDL lists the largest first; Windows the smallest.
    for (int i = count - 1; i >= 0; --i) {
        SDL_DisplayMode sdl{};
        if (SDL_GetDisplayMode(0, i, &sdl) == 0) modes.push_back(FromSdl(sdl));
    }
    return modes;
}

bool CurrentDisplayMode(DisplayMode* mode) {
    if (!core::InitVideo() || core::IsHeadless()) {
        *mode = kVirtualDesktop;
        return true;
    }
    SDL_DisplayMode sdl{};
    if (SDL_GetDesktopDisplayMode(0, &sdl) != 0) return false;
    *mode = FromSdl(sdl);
    return true;
}

}  // namespace quarvel::win32

namespace {

bool IsPrimaryDisplay(LPCSTR name) {
    return !name || !name[0] || strcmp(name, "\\\\.\\DISPLAY1") == 0;
}

// The smallest record Windows fills: everything up to and including the refresh rate.
constexpr size_t kMinimumDevModeSize = offsetof(DEVMODEA, dmDisplayFrequency) + sizeof(DWORD);

void FillDevMode(const quarvel::win32::DisplayMode& mode, DEVMODEA* out) {
    WORD size = out->dmSize;
    // Clear only what the caller said the record holds; never write past dmSize.
    memset(out, 0, size < sizeof(DEVMODEA) ? size : sizeof(DEVMODEA));
    out->dmSize = size;
    memcpy(out->dmDeviceName, "DISPLAY1", sizeof "DISPLAY1");
    out->dmSpecVersion = DM_SPECVERSION;
    out->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFLAGS | DM_DISPLAYFREQUENCY;
    out->dmBitsPerPel = mode.bitsPerPixel;
    out->dmPelsWidth = mode.width;
    out->dmPelsHeight = mode.height;
    out->dmDisplayFrequency = mode.frequency;
}

}  // namespace

extern "C" {

BOOL WINAPI EnumDisplaySettingsA(LPCSTR lpszDeviceName, DWORD iModeNum, DEVMODEA* lpDevMode) {
    using namespace quarvel::win32;
    if (!lpDevMode || lpDevMode->dmSize < kMinimumDevModeSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!IsPrimaryDisplay(lpszDeviceName)) {
        quarvel::core::LogOnce("win32", "EnumDisplaySettingsA", "not supported: displays other than the primary one");
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DisplayMode mode{};
    if (iModeNum == ENUM_CURRENT_SETTINGS || iModeNum == ENUM_REGISTRY_SETTINGS) {
        if (!CurrentDisplayMode(&mode)) return FALSE;
    } else {
        std::vector<DisplayMode> modes = DisplayModes();
        if (iModeNum >= modes.size()) return FALSE;  // the end of the list, as on Windows
        mode = modes[iModeNum];
    }
    FillDevMode(mode, lpDevMode);
    return TRUE;
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* lpDevMode, DWORD dwFlags) {
    using namespace quarvel::win32;
    if (!lpDevMode) return DISP_CHANGE_SUCCESSFUL;  // back to the registry mode: already there
    if (lpDevMode->dmSize < kMinimumDevModeSize) return DISP_CHANGE_BADMODE;
    bool listed = false;
    for (const DisplayMode& mode : DisplayModes()) {
        if ((lpDevMode->dmFields & DM_PELSWIDTH) && mode.width != lpDevMode->dmPelsWidth) continue;
        if ((lpDevMode->dmFields & DM_PELSHEIGHT) && mode.height != lpDevMode->dmPelsHeight) continue;
        if ((lpDevMode->dmFields & DM_BITSPERPEL) && mode.bitsPerPixel != lpDevMode->dmBitsPerPel) continue;
        if ((lpDevMode->dmFields & DM_DISPLAYFREQUENCY) && mode.frequency != lpDevMode->dmDisplayFrequency)
            continue;
        listed = true;
        break;
    }
    if (!listed) return DISP_CHANGE_BADMODE;
    if (dwFlags & CDS_TEST) return DISP_CHANGE_SUCCESSFUL;
    // Full-screen windows switch the mode themselves when they are shown; the desktop's
    // mode is never changed behind the program's back.
    quarvel::core::LogOnce("win32", "ChangeDisplaySettingsA", "not supported: changing the desktop's mode");
    return DISP_CHANGE_FAILED;
}

}  // extern "C"
