// Frames, client areas and the full-screen pop-up window.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

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
    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 1280);
    EXPECT_EQ(client.bottom, 720);

    RECT outer{};
    ASSERT_TRUE(GetWindowRect(window, &outer));
    EXPECT_EQ(outer.right - outer.left, 1296);  // the frame Windows adds at 96 dpi
    EXPECT_EQ(outer.bottom - outer.top, 759);
    POINT origin{0, 0};
    ASSERT_TRUE(ClientToScreen(window, &origin));
    EXPECT_EQ(origin.x, outer.left + 8);
    EXPECT_EQ(origin.y, outer.top + 31);
    POINT corner{client.right, client.bottom};
    ClientToScreen(window, &corner);
    EXPECT_EQ(corner.x, origin.x + 1280);
    EXPECT_EQ(corner.y, origin.y + 720);
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
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
    EXPECT_EQ(outer.right, 800);
    POINT origin{5, 7};
    ClientToScreen(window, &origin);
    EXPECT_EQ(origin.x, 5);
    EXPECT_EQ(origin.y, 7);
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
