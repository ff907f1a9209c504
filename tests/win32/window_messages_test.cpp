// Window creation, closing and the queue's order, against what Windows does.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <tuple>

#include "core/hwnd_object.h"
#include "test_window.h"
#include "win32/input_script.h"

namespace {

using Ids = std::vector<UINT>;

class Win32Messages : public ::testing::Test {
protected:
    void SetUp() override { DrainMessages(); }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        DrainMessages();
    }
    HWND window = nullptr;
    Recorder recorder;
};

TEST_F(Win32Messages, CreateShowCloseQuitInWin32Order) {
    recorder.quitCodeOnDestroy = 3;
    window = CreateTestWindow(WS_OVERLAPPEDWINDOW, 640, 480, &recorder);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(recorder.Messages(), (Ids{WM_NCCREATE, WM_CREATE}));
    EXPECT_STREQ(recorder.seenCreate.lpszName, "test window");
    EXPECT_EQ(std::make_pair(recorder.seenCreate.cx, DWORD(recorder.seenCreate.style)),
              std::make_pair(640, DWORD(WS_OVERLAPPEDWINDOW)));

    // The SDL window exists, can carry a GL context, and stays hidden until shown.
    SDL_Window* sdl = window->SdlWindow();
    ASSERT_NE(sdl, nullptr);
    EXPECT_EQ(quarvel::core::SdlWindowFromHwnd(window), sdl);
    EXPECT_TRUE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_OPENGL);
    EXPECT_TRUE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_HIDDEN);

    recorder.messages.clear();
    EXPECT_FALSE(ShowWindow(window, SW_SHOWDEFAULT));  // was not visible
    EXPECT_FALSE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_HIDDEN);
    EXPECT_EQ(recorder.Messages({WM_SHOWWINDOW, WM_ACTIVATEAPP, WM_ACTIVATE}),
              (Ids{WM_SHOWWINDOW, WM_ACTIVATEAPP, WM_ACTIVATE}));
    EXPECT_EQ(recorder.Last(WM_SHOWWINDOW)->wParam, static_cast<WPARAM>(TRUE));
    EXPECT_EQ(recorder.Last(WM_ACTIVATEAPP)->wParam, static_cast<WPARAM>(TRUE));
    EXPECT_EQ(recorder.Last(WM_ACTIVATE)->wParam, static_cast<WPARAM>(WA_ACTIVE));
    EXPECT_TRUE(ShowWindow(window, SW_SHOW));  // already visible: nothing is sent again

    // The close box: WM_CLOSE through the queue, DefWindowProcA destroys, the procedure's
    // WM_DESTROY posts the quit, and WM_QUIT comes last with its code.
    recorder.messages.clear();
    quarvel::win32::InjectClose(window);
    std::vector<MSG> retrieved = DrainMessages();
    ASSERT_EQ(retrieved.size(), 2u);
    EXPECT_EQ(std::make_tuple(retrieved[0].message, retrieved[0].hwnd, retrieved[1].message, retrieved[1].wParam),
              std::make_tuple(UINT(WM_CLOSE), window, UINT(WM_QUIT), WPARAM(3)));
    EXPECT_EQ(recorder.Messages({WM_CLOSE, WM_DESTROY, WM_NCDESTROY}), (Ids{WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_EQ(recorder.Messages({WM_ACTIVATE, WM_ACTIVATEAPP, WM_DESTROY}),
              (Ids{WM_ACTIVATE, WM_ACTIVATEAPP, WM_DESTROY}));  // deactivated first
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(quarvel::core::IsLiveWindow(window));
    EXPECT_EQ(quarvel::core::SdlWindowFromHwnd(window), nullptr);
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(Win32Messages, QuitComesAfterEveryPostedMessageAndOnlyOnce) {
    PostMessageA(nullptr, WM_USER, 1, 0);
    PostQuitMessage(9);
    PostMessageA(nullptr, WM_USER, 2, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u);  // still there after a look
    std::vector<MSG> retrieved = DrainMessages();
    ASSERT_EQ(retrieved.size(), 3u);
    EXPECT_EQ(std::make_tuple(retrieved[0].wParam, retrieved[1].wParam, retrieved[2].message, retrieved[2].wParam),
              std::make_tuple(WPARAM(1), WPARAM(2), UINT(WM_QUIT), WPARAM(9)));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    PostQuitMessage(4);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, 4u);
}

}  // namespace
