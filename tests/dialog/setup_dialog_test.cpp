// SetupDialogProc through DialogBoxParamA with resource 101, against display-mode lists
// scripted through QUARVEL_DISPLAY_MODES and pressed by QUARVEL_SETUP.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "app/setup_dialog.h"

namespace {

using Texts = std::vector<std::string>;

// What the dialog showed right after WM_INITDIALOG, and what was selected when Run came.
struct Shown {
    std::vector<std::string> entries;
    LRESULT initialSelection = CB_ERR;
    LRESULT selectionAtRun = CB_ERR - 1;
    LRESULT windowedBox = -1, multisamplingBox = -1;
};
Shown shown;
int selectAfterInit = -1;  // >= 0: the test picks this entry itself, as a user would

INT_PTR CALLBACK ObservingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        shown.selectionAtRun = SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_GETCURSEL, 0, 0);
    }
    INT_PTR result = SetupDialogProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG) {
        LRESULT count = SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[64] = {};
            SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            shown.entries.push_back(text);
        }
        shown.initialSelection = SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_GETCURSEL, 0, 0);
        shown.windowedBox = SendDlgItemMessageA(dialog, IDC_WINDOWED, BM_GETCHECK, 0, 0);
        shown.multisamplingBox = SendDlgItemMessageA(dialog, IDC_MULTISAMPLING, BM_GETCHECK, 0, 0);
        if (selectAfterInit >= 0) SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_SETCURSEL, selectAfterInit, 0);
    }
    return result;
}

class SetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("QUARVEL_SETUP", "run", 1);
        unsetenv("QUARVEL_SETUP_MODE");
        unsetenv("QUARVEL_SETUP_WINDOWED");
        SetDefaultDisplaySettings(GetModuleHandleA(nullptr));
        shown = Shown{};
        selectAfterInit = -1;
    }
    void TearDown() override { unsetenv("QUARVEL_DISPLAY_MODES"); }

    INT_PTR Open(const std::string& modes) {
        setenv("QUARVEL_DISPLAY_MODES", modes.c_str(), 1);
        return DialogBoxParamA(displaySettings.instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, ObservingProc, 0);
    }
    // The chosen size and the windowed flag.
    static std::tuple<int, int, int> Chosen() {
        return {displaySettings.width, displaySettings.height, displaySettings.windowed};
    }
};

}  // namespace

TEST_F(SetupDialogTest, ListsEachSizeOnceAndOnlyAtTheChosenDepth) {
    ASSERT_EQ(Open("800x600x32@60,1920x1080x32@60,1920x1080x32@75,1024x768x16@60,1280x720x32@60,"
                   "1280x720x16@60,1280x720x32@75"),
              1);
    EXPECT_EQ(shown.entries, (Texts{"800 * 600", "1920 * 1080", "1280 * 720"}));
    ASSERT_EQ(modeCount, 3);
    EXPECT_EQ(modeList[1][0], 1920);
    EXPECT_EQ(modeList[1][1], 1080);
    EXPECT_EQ(modeList[2][0], 1280);

    // Only neighbours are merged: a size that comes back later is listed again. Each
    // dialog starts its list afresh.
    shown = Shown{};
    ASSERT_EQ(Open("1920x1080x32@60,1280x720x32@60,1920x1080x32@75"), 1);
    EXPECT_EQ(shown.entries, (Texts{"1920 * 1080", "1280 * 720", "1920 * 1080"}));
    EXPECT_EQ(modeCount, 3);
}

TEST_F(SetupDialogTest, PreselectsTheLastEntryOfTheDefaultSizeElseTheLastEntry) {
    ASSERT_EQ(Open("1280x720x32@60,800x600x32@60,1280x720x32@75,640x360x32@60"), 1);
    EXPECT_EQ(shown.initialSelection, 2);
    EXPECT_EQ(displaySettings.width, 1280);

    SetUp();
    ASSERT_EQ(Open("640x360x32@60,800x600x32@60,1024x768x32@60"), 1);
    EXPECT_EQ(shown.initialSelection, 2);
    EXPECT_EQ(Chosen(), std::make_tuple(1024, 768, 0));
}

TEST_F(SetupDialogTest, RunCopiesTheSelectionAndBothCheckBoxes) {
    displaySettings.multisampling = 1;
    selectAfterInit = 0;
    ASSERT_EQ(Open("800x600x32@60,1280x720x32@60"), 1);
    EXPECT_EQ(shown.windowedBox, BST_UNCHECKED);
    EXPECT_EQ(shown.multisamplingBox, BST_CHECKED);
    EXPECT_EQ(Chosen(), std::make_tuple(800, 600, 0));
    EXPECT_EQ(displaySettings.multisampling, 1);

    SetUp();
    displaySettings.windowed = 1;
    ASSERT_EQ(Open("800x600x32@60,1280x720x32@60"), 1);
    EXPECT_EQ(shown.windowedBox, BST_CHECKED);
    EXPECT_EQ(std::make_pair(displaySettings.windowed, displaySettings.multisampling), std::make_pair(1, 0));
}

TEST_F(SetupDialogTest, CancelReturnsZeroAndChangesNothing) {
    setenv("QUARVEL_SETUP", "cancel", 1);
    setenv("QUARVEL_SETUP_MODE", "800x600", 1);
    setenv("QUARVEL_SETUP_WINDOWED", "1", 1);
    EXPECT_EQ(Open("800x600x32@60,1280x720x32@60"), 0);
    EXPECT_EQ(Chosen(), std::make_tuple(1280, 720, 0));
}

TEST_F(SetupDialogTest, RunOnAnEmptyListKeepsTheWindowSize) {
    // Nothing listed, nothing selected: Run must not read before the table.
    displaySettings.width = 1024;
    displaySettings.height = 768;
    ASSERT_EQ(Open(""), 1);
    EXPECT_TRUE(shown.entries.empty());
    EXPECT_EQ(shown.selectionAtRun, CB_ERR);
    EXPECT_EQ(Chosen(), std::make_tuple(1024, 768, 0));

    SetUp();
    setenv("QUARVEL_SETUP_WINDOWED", "1", 1);
    ASSERT_EQ(Open("800x600x16@60,1920x1080x24@60"), 1);  // only other depths
    EXPECT_EQ(modeCount, 0);
    EXPECT_EQ(Chosen(), std::make_tuple(1280, 720, 1));
}

TEST_F(SetupDialogTest, ListStopsWhenTheTableIsFull) {
    std::string modes;
    for (int i = 0; i < kMaxModes + 10; ++i) modes += std::to_string(100 + i) + "x100x32@60,";
    ASSERT_EQ(Open(modes), 1);
    EXPECT_EQ(modeCount, kMaxModes);
    EXPECT_EQ(shown.entries.size(), static_cast<size_t>(kMaxModes));
    EXPECT_EQ(shown.entries.back(), std::to_string(100 + kMaxModes - 1) + " * 100");
}

TEST_F(SetupDialogTest, AutomationPicksTheFirstEntryOfTheSizeAndSetsWindowed) {
    setenv("QUARVEL_SETUP_MODE", "800x600", 1);
    setenv("QUARVEL_SETUP_WINDOWED", "1", 1);
    ASSERT_EQ(Open("800x600x32@60,1024x768x32@60,800x600x32@75,1280x720x32@60"), 1);
    EXPECT_EQ(shown.entries.size(), 4u);
    EXPECT_EQ(shown.selectionAtRun, 0);
    EXPECT_EQ(Chosen(), std::make_tuple(800, 600, 1));

    // A size that is not listed, or a value that is not one, leaves the dialog's own choice.
    for (const char* mode : {"1600x900", "800-600", "x600"}) {
        SetUp();
        setenv("QUARVEL_SETUP_MODE", mode, 1);
        setenv("QUARVEL_SETUP_WINDOWED", "yes", 1);
        ASSERT_EQ(Open("800x600x32@60,1280x720x32@60,1024x768x32@60"), 1);
        EXPECT_EQ(shown.selectionAtRun, 1) << mode;
        EXPECT_EQ(displaySettings.windowed, 0) << mode;
    }
}

TEST_F(SetupDialogTest, WithNoDisplayAndNoAutomationTheDialogRuns) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    for (const char* setup : {"", "maybe"}) {  // unset, and a value that means nothing
        SetUp();
        setenv("QUARVEL_SETUP", setup, 1);
        setenv("QUARVEL_SETUP_MODE", "800x600", 1);
        EXPECT_EQ(Open("800x600x32@60,1280x720x32@60"), 1) << setup;
        EXPECT_EQ(displaySettings.width, 800) << setup;
    }
}
