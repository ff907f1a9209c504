// Keyboard input: SDL events (real or injected) to key messages and the asynchronous key
// state. The mouse only steers the debug camera; the window-procedure test drags it.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include "test_window.h"
#include "win32/input_script.h"

namespace {

using quarvel::win32::InjectKey;

constexpr DWORD kTransition = 1u << 31;
constexpr DWORD kPrevious = 1u << 30;
constexpr DWORD kExtended = 1u << 24;

TEST(Win32Input, InjectedKeysReachKeyStateAndMessages) {
    DrainMessages();
    Recorder recorder;
    HWND window = CreateTestWindow(WS_OVERLAPPEDWINDOW, 400, 300, &recorder);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    DrainMessages();
    EXPECT_EQ(GetAsyncKeyState('W'), 0);
    InjectKey(SDL_SCANCODE_W, true);
    // The key state changes when the key goes down, before any message is read.
    EXPECT_LT(GetAsyncKeyState('W'), 0);
    EXPECT_EQ(GetAsyncKeyState('S'), 0);

    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('W'));
    const DWORD down = static_cast<DWORD>(msg.lParam);
    EXPECT_EQ(down & 0xFFFF, 1u);           // repeat count
    EXPECT_EQ((down >> 16) & 0xFF, 0x11u);  // scan code of W
    EXPECT_EQ(down & (kTransition | kPrevious | kExtended), 0u);
    EXPECT_TRUE(TranslateMessage(&msg));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('w'));

    InjectKey(SDL_SCANCODE_W, false);
    EXPECT_EQ(GetAsyncKeyState('W'), 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(static_cast<DWORD>(msg.lParam) & (kTransition | kPrevious), kTransition | kPrevious);
    DestroyWindow(window);
    DrainMessages();
}

}  // namespace
