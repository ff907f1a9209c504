// DialogBoxParamA's model of a dialog, run headless: the controls' messages, how a dialog
// ends, and the failures Windows reports. Checks made inside a dialog procedure run on
// the test's own thread, so they report like any other.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "dialog/module_resources.h"
#include "test_bytes.h"

namespace {
constexpr uint16_t kTestDialog = 300;
constexpr int kCombo = 10, kAutoBox = 11;

std::vector<uint8_t> TestTemplate() {
    using dialog_test::ItemSpec;
    const uint32_t shown = WS_CHILD | WS_VISIBLE;
    return dialog_test::ExtendedTemplate(
        WS_POPUP | WS_CAPTION, 100, 60, "Test",
        {ItemSpec{shown | SS_LEFT, 2, 2, 40, 8, -1, 0x0082, "Label"},
         ItemSpec{shown | WS_TABSTOP | CBS_DROPDOWNLIST, 2, 12, 60, 40, kCombo, 0x0085, ""},
         ItemSpec{shown | WS_TABSTOP | BS_AUTOCHECKBOX, 2, 24, 40, 10, kAutoBox, 0x0080, "Auto"}});
}

struct Seen {
    HWND dialog = nullptr, combo = nullptr;
    LPARAM init = 0;
    std::vector<std::pair<WPARAM, HWND>> commands;
    bool destroyed = false;
} seen;

// Ends the dialog with 7 on Cancel and records every command.
INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        seen.dialog = dialog;
        seen.init = lParam;
    }
    if (message == WM_COMMAND) {
        seen.commands.emplace_back(wParam, reinterpret_cast<HWND>(lParam));
        if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 7);
    }
    if (message == WM_DESTROY) seen.destroyed = true;
    return message == WM_INITDIALOG;
}

LRESULT Send(HWND control, UINT message, WPARAM wParam = 0, const char* text = nullptr) {
    return SendMessageA(control, message, wParam, reinterpret_cast<LPARAM>(text));
}

INT_PTR CALLBACK MessagesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG) return RecordingProc(dialog, message, wParam, lParam);
    RecordingProc(dialog, message, wParam, lParam);
    HWND combo = seen.combo = GetDlgItem(dialog, kCombo);
    EXPECT_EQ(reinterpret_cast<HWND>(wParam), combo);  // the first WS_TABSTOP control

    // In the order added; a selection out of range clears it.
    EXPECT_EQ(Send(combo, CB_ADDSTRING, 0, "delta"), 0);
    EXPECT_EQ(Send(combo, CB_ADDSTRING, 0, "Alpha"), 1);
    EXPECT_EQ(Send(combo, CB_SETCURSEL, 1), 1);
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 1);
    EXPECT_EQ(Send(combo, CB_SETCURSEL, 3), CB_ERR);
    EXPECT_EQ(Send(combo, CB_GETCURSEL), CB_ERR);

    HWND autoBox = GetDlgItem(dialog, kAutoBox);
    Send(autoBox, BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(Send(autoBox, BM_GETCHECK), BST_CHECKED);
    Send(autoBox, BM_CLICK);
    EXPECT_EQ(Send(autoBox, BM_GETCHECK), BST_UNCHECKED);
    EXPECT_EQ(seen.commands, (std::vector<std::pair<WPARAM, HWND>>{{MAKEWPARAM(kAutoBox, BN_CLICKED), autoBox}}));
    return TRUE;
}

int EndsAtOnceCommands = 0;
INT_PTR CALLBACK EndsAtOnceProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) EndDialog(dialog, 42);
    if (message == WM_COMMAND) ++EndsAtOnceCommands;
    return FALSE;
}
INT_PTR CALLBACK NeverEndsProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

INT_PTR Open(uint16_t name, DLGPROC procedure, LPARAM init = 0) {
    return DialogBoxParamA(nullptr, MAKEINTRESOURCEA(name), nullptr, procedure, init);
}

class DialogBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        image_ = dialog_test::ResImageWithDialog(kTestDialog, TestTemplate());
        ASSERT_TRUE(quarvel::dialog::RegisterModuleResources(image_.data(), image_.size()));
        setenv("QUARVEL_SETUP", "cancel", 1);
        seen = Seen{};
    }
    void TearDown() override { quarvel::dialog::UnregisterModuleResources(image_.data()); }
    std::vector<uint8_t> image_;
};
}  // namespace

TEST_F(DialogBoxTest, ControlsAnswerMessagesAndTheResultPassesThrough) {
    ASSERT_EQ(Open(kTestDialog, MessagesProc, 1234), 7);
    EXPECT_EQ(seen.init, 1234);
    EXPECT_TRUE(seen.destroyed);
    // The automated Cancel came last; no control has id 2, so it names none.
    ASSERT_EQ(seen.commands.size(), 2u);
    EXPECT_EQ(seen.commands[1], std::make_pair(static_cast<WPARAM>(MAKEWPARAM(IDCANCEL, BN_CLICKED)), HWND{}));
}

TEST_F(DialogBoxTest, EndingInInitDialogSkipsTheAutomatedPressAndAnUnendedDialogFails) {
    EXPECT_EQ(Open(kTestDialog, EndsAtOnceProc), 42);
    EXPECT_EQ(EndsAtOnceCommands, 0);
    // Headless, nothing but the procedure can end a dialog: a failure, not a hang.
    EXPECT_EQ(Open(kTestDialog, NeverEndsProc), -1);
}

TEST_F(DialogBoxTest, MissingDamagedOrInvalidRequestsFailAsOnWindows) {
    SetLastError(0);
    EXPECT_EQ(Open(999, RecordingProc), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));

    std::vector<uint8_t> cut = TestTemplate();
    cut.resize(cut.size() - 3);
    std::vector<uint8_t> damaged = dialog_test::ResImageWithDialog(301, cut);
    ASSERT_TRUE(quarvel::dialog::RegisterModuleResources(damaged.data(), damaged.size()));
    SetLastError(0);
    EXPECT_EQ(Open(301, RecordingProc), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    quarvel::dialog::UnregisterModuleResources(damaged.data());
    EXPECT_EQ(seen.dialog, nullptr);  // no procedure ran for any of them
}
