// WindowProc on a real window of the stand-in: quitting, and the drag that steers the debug
// camera with the cursor confined to the client area.
#include <gtest/gtest.h>

#include <tuple>

#include "app/debug_camera.h"
#include "app/window_proc.h"
#include "test_window.h"

namespace {

class AppWindowProc : public ::testing::Test {
protected:
    void SetUp() override {
        window = quarvel::test::OpenTestWindow(640, 360, WindowProc);
        ASSERT_NE(window, nullptr);
        debugCamera = DebugCamera();
        Drain();
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        ClipCursor(nullptr);
        Drain();
    }
    // Removes everything queued; returns the WM_QUIT code if there was one, else -1.
    static long long Drain() {
        long long quit = -1;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) quit = static_cast<long long>(msg.wParam);
            if (msg.message != WM_QUIT) DispatchMessageA(&msg);
        }
        return quit;
    }
    HWND window = nullptr;
};

TEST_F(AppWindowProc, EscapeAndClosingQuitWithZeroAndOtherKeysDoNothing) {
    SendMessageA(window, WM_KEYDOWN, 'W', 0);
    SendMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(Drain(), -1);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(SendMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001), 0);
    EXPECT_EQ(Drain(), 0);
    // So does closing the window.
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Drain(), 0);
}

TEST_F(AppWindowProc, DragTurnsTheCameraWithTheCursorConfined) {
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 100));
    EXPECT_TRUE(debugCamera.dragging);
    EXPECT_EQ(GetCapture(), window);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT clip{};
    GetClipCursor(&clip);
    EXPECT_EQ(std::make_tuple(clip.left, clip.top, clip.right, clip.bottom),
              std::make_tuple(origin.x, origin.y, origin.x + 641, origin.y + 361));

    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(250, 100));
    // A second press while dragging keeps the first press point.
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(250, 100));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 130));
    EXPECT_EQ(std::make_pair(debugCamera.yawInput, debugCamera.pitchInput), std::make_pair(100.0f, 30.0f));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(300, 130));
    EXPECT_FALSE(debugCamera.dragging);
    EXPECT_EQ(GetCapture(), nullptr);
    GetClipCursor(&clip);
    EXPECT_EQ(clip.left, 0);  // released: the whole desktop
    EXPECT_EQ(debugCamera.yawInput, 100.0f);

    // A move with no drag changes nothing; the next drag starts from where this one ended.
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(debugCamera.yawInput, 100.0f);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(0, 10));
    EXPECT_EQ(debugCamera.yawInput, 90.0f);
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(0, 10));
}

}  // namespace
