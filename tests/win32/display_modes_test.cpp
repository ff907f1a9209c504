// EnumDisplaySettingsA on the virtual display (the setup-dialog tests script their own lists),
// and the depth a real desktop's modes are listed with.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "win32/display_modes.h"

namespace {

std::string Describe(const DEVMODEA& mode) {
    return std::to_string(mode.dmPelsWidth) + "x" + std::to_string(mode.dmPelsHeight) + "x" +
           std::to_string(mode.dmBitsPerPel) + "@" + std::to_string(mode.dmDisplayFrequency);
}

std::vector<std::string> EnumerateAll() {
    std::vector<std::string> modes;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i) {
        EXPECT_EQ(mode.dmSize, sizeof mode);
        EXPECT_TRUE(mode.dmFields & DM_BITSPERPEL);
        modes.push_back(Describe(mode));
        if (modes.size() > 100) break;
    }
    return modes;
}

TEST(Win32DisplayModes, VirtualDisplayListsTheFixedModes) {
    EXPECT_EQ(EnumerateAll(), (std::vector<std::string>{
                                  "640x360x32@60", "800x600x32@60", "1024x768x32@60", "1280x720x16@60",
                                  "1280x720x32@60", "1280x720x32@75", "1280x1024x32@60", "1366x768x32@60",
                                  "1600x900x32@60", "1920x1080x32@60", "2560x1080x32@60"}));
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    EXPECT_FALSE(EnumDisplaySettingsA(nullptr, 11, &mode));
    EXPECT_FALSE(EnumDisplaySettingsA(nullptr, 0x7fffffff, &mode));
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_EQ(Describe(mode), "1920x1080x32@60");
    EXPECT_TRUE(EnumDisplaySettingsA("\\\\.\\DISPLAY1", 0, &mode));
}

TEST(Win32DisplayModes, AnSdlModeIsListedWithItsBytesPerPixelTimesEight) {
    // A depth-24 X desktop gives 24 colour bits in 32-bit pixels; the dialog lists only
    // 32-bit modes, so it must see 32 there.
    using quarvel::win32::DisplayModeFromSdl;
    const quarvel::win32::DisplayMode mode = DisplayModeFromSdl(1920, 1080, SDL_PIXELFORMAT_RGB888, 75);
    EXPECT_EQ(std::vector<DWORD>({mode.width, mode.height, mode.bitsPerPixel, mode.frequency}),
              std::vector<DWORD>({1920, 1080, 32, 75}));
    EXPECT_EQ(DisplayModeFromSdl(800, 600, SDL_PIXELFORMAT_RGB565, 60).bitsPerPixel, 16u);
}

// A malformed entry of the override is skipped and named once, however often it is read.
TEST(Win32DisplayModes, OverrideSkipsMalformedEntriesAndNamesEachOnce) {
    testing::internal::CaptureStderr();
    std::vector<std::vector<std::string>> listed;
    for (const char* list : {"800x600x32@60,junk", "junk, 640x480 ,1024x768x16@75", "800x600x32@60,junk"}) {
        setenv("QUARVEL_DISPLAY_MODES", list, 1);
        listed.push_back(EnumerateAll());
    }
    unsetenv("QUARVEL_DISPLAY_MODES");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(listed,
              (std::vector<std::vector<std::string>>{{"800x600x32@60"}, {"1024x768x16@75"}, {"800x600x32@60"}}));
    const std::string skipped = "\" is not WIDTHxHEIGHTxBPP@HZ; skipped\n";
    EXPECT_EQ(said, "win32: EnumDisplaySettingsA: QUARVEL_DISPLAY_MODES: \"junk" + skipped +
                        "win32: EnumDisplaySettingsA: QUARVEL_DISPLAY_MODES: \"640x480" + skipped);
}

}  // namespace
