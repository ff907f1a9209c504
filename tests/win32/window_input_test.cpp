// Keyboard input: SDL events (real or injected) to key messages and the asynchronous key
// state. The mouse only steers the debug camera; the window-procedure test drags it.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <tuple>

#include "test_window.h"
#include "win32/input_script.h"

namespace {

using quarvel::win32::InjectKey;

constexpr DWORD kTransition = 1u << 31;
constexpr DWORD kPrevious = 1u << 30;

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
    EXPECT_EQ(std::make_tuple(msg.hwnd, msg.message, msg.wParam),
              std::make_tuple(window, UINT(WM_KEYDOWN), WPARAM('W')));
    // A repeat count of 1 and W's scan code; no transition, previous-state or extended bit.
    EXPECT_EQ(DWORD(msg.lParam), 0x00110001u);
    EXPECT_TRUE(TranslateMessage(&msg));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(std::make_pair(msg.message, msg.wParam), std::make_pair(UINT(WM_CHAR), WPARAM('w')));

    InjectKey(SDL_SCANCODE_W, false);
    EXPECT_EQ(GetAsyncKeyState('W'), 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(static_cast<DWORD>(msg.lParam) & (kTransition | kPrevious), kTransition | kPrevious);
    DestroyWindow(window);
    DrainMessages();
}

}  // namespace
