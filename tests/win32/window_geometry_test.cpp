// Frames, client areas and the full-screen pop-up window.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <tuple>

#include "test_window.h"

namespace {

TEST(Win32Geometry, WindowedClientAreaIsExactlyTheRequestedSize) {
    DrainMessages();
    RECT rect{0, 0, 1280, 720};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    Recorder recorder;
    HWND window = CreateTestWindow(WS_OVERLAPPEDWINDOW, rect.right - rect.left, rect.bottom - rect.top, &recorder);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    RECT client{}, outer{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(std::make_tuple(client.left, client.top, client.right, client.bottom), std::make_tuple(0, 0, 1280, 720));
    ASSERT_TRUE(GetWindowRect(window, &outer));
    // The frame Windows adds at 96 dpi.
    EXPECT_EQ(std::make_pair(outer.right - outer.left, outer.bottom - outer.top), std::make_pair(1296, 759));
    POINT origin{0, 0}, corner{client.right, client.bottom};
    ASSERT_TRUE(ClientToScreen(window, &origin));
    ClientToScreen(window, &corner);
    EXPECT_EQ(std::make_pair(origin.x, origin.y), std::make_pair(outer.left + 8, outer.top + 31));
    EXPECT_EQ(std::make_pair(corner.x, corner.y), std::make_pair(origin.x + 1280, origin.y + 720));
    DestroyWindow(window);
    EXPECT_FALSE(GetClientRect(window, &client));
    DrainMessages();
}

TEST(Win32Geometry, PopupGoesFullScreenAtItsSizeWhenShown) {
    DrainMessages();
    Recorder recorder;
    HWND window = CreateTestWindow(WS_POPUP, 800, 600, &recorder);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWDEFAULT);
    RECT client{}, outer{};
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(800, 600));
    EXPECT_EQ(std::make_tuple(outer.left, outer.top, outer.right), std::make_tuple(0, 0, 800));
    POINT origin{5, 7};
    ClientToScreen(window, &origin);
    EXPECT_EQ(std::make_pair(origin.x, origin.y), std::make_pair(5, 7));
    DestroyWindow(window);
    DrainMessages();
}

TEST(Win32Geometry, ShowCursorCountsAndHidesBelowZero) {
    Recorder recorder;
    HWND window = CreateTestWindow(WS_OVERLAPPEDWINDOW, 100, 100, &recorder);  // starts video
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    DestroyWindow(window);
    DrainMessages();
}

}  // namespace
