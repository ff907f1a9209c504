// Keyboard and mouse input: SDL events (real or injected) to key and mouse messages, the
// asynchronous key state, capture and cursor confinement.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include "core/hwnd_object.h"
#include "test_window.h"
#include "win32/input_script.h"

namespace {

using quarvel::platform::InjectKey;

class Win32Input : public ::testing::Test {
protected:
    void SetUp() override {
        DrainMessages();
        window = CreateTestWindow(WS_OVERLAPPEDWINDOW, 400, 300, &recorder);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOW);
        DrainMessages();
    }
    void TearDown() override {
        ClipCursor(nullptr);
        ReleaseCapture();
        DestroyWindow(window);
        DrainMessages();
    }
    // Pushes one SDL mouse event at client coordinates of the test window.
    void PushMouse(Uint32 type, int x, int y) {
        SDL_Event event{};
        event.type = type;
        Uint32 id = SDL_GetWindowID(window->SdlWindow());
        if (type == SDL_MOUSEMOTION) {
            event.motion.windowID = id;
            event.motion.x = x;
            event.motion.y = y;
        } else {
            event.button.windowID = id;
            event.button.button = SDL_BUTTON_LEFT;
            event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            event.button.x = x;
            event.button.y = y;
        }
        SDL_PushEvent(&event);
    }
    HWND window = nullptr;
    Recorder recorder;
};

constexpr DWORD kTransition = 1u << 31;
constexpr DWORD kPrevious = 1u << 30;
constexpr DWORD kExtended = 1u << 24;

TEST_F(Win32Input, InjectedKeysReachKeyStateAndMessages) {
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
}

TEST_F(Win32Input, LeftButtonDragGivesClientCoordinatesAndButtonFlags) {
    PushMouse(SDL_MOUSEBUTTONDOWN, 10, 20);
    PushMouse(SDL_MOUSEMOTION, 50, 60);
    PushMouse(SDL_MOUSEMOTION, 110, 120);  // replaces the move before it
    PushMouse(SDL_MOUSEBUTTONUP, 110, 120);
    std::vector<MSG> messages = DrainMessages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(messages[0].lParam, MAKELPARAM(10, 20));
    EXPECT_EQ(messages[0].wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(messages[1].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(messages[1].lParam, MAKELPARAM(110, 120));
    EXPECT_EQ(messages[1].wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(messages[2].message, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(messages[2].wParam, 0u);
    EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
}

TEST_F(Win32Input, ClipCursorConfinesTheReportedPosition) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT clip{origin.x + 10, origin.y + 10, origin.x + 101, origin.y + 51};
    EXPECT_TRUE(ClipCursor(&clip));
    RECT seen{};
    EXPECT_TRUE(GetClipCursor(&seen));
    EXPECT_EQ(seen.left, clip.left);
    EXPECT_EQ(seen.bottom, clip.bottom);

    PushMouse(SDL_MOUSEMOTION, 300, 200);  // far right and below: held at the last pixel inside
    std::vector<MSG> messages = DrainMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].lParam, MAKELPARAM(100, 50));
    PushMouse(SDL_MOUSEMOTION, 0, 0);
    messages = DrainMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].lParam, MAKELPARAM(10, 10));

    EXPECT_TRUE(ClipCursor(nullptr));
    GetClipCursor(&seen);
    EXPECT_EQ(seen.right, 1920);  // the whole virtual desktop again
    PushMouse(SDL_MOUSEMOTION, 300, 200);
    messages = DrainMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].lParam, MAKELPARAM(300, 200));
}

TEST(Win32InputScript, ParsesStepsInTimeOrderWithTheirAnchorsAndRejectsTheRest) {
    using quarvel::platform::ScriptStep;
    std::vector<std::string> rejected;
    auto steps = quarvel::platform::ParseInputScript(
        "1600:keyup:escape, 1500:keydown:Escape,bad,3:keydown:nokey,4:close:x,-5:close,1500:keydown:w,"
        "window+250:close,100:flood:3000,5:flood,6:flood:0,window+:close,window+x:close,Window+0:keydown:a",
        &rejected);
    ASSERT_EQ(steps.size(), 6u);
    // In time order whatever the anchor; steps at the same time keep the given order.
    EXPECT_EQ(steps[0].anchor, ScriptStep::kWindowCreated);
    EXPECT_EQ(steps[0].kind, ScriptStep::kKeyDown);
    EXPECT_EQ(steps[1].kind, ScriptStep::kFlood);
    EXPECT_EQ(steps[1].anchor, ScriptStep::kFirstPump);
    EXPECT_EQ(steps[1].durationMs, 3000u);
    EXPECT_EQ(steps[2].atMs, 250u);
    EXPECT_EQ(steps[2].kind, ScriptStep::kClose);
    EXPECT_EQ(steps[3].scancode, SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(steps[4].scancode, SDL_SCANCODE_W);
    EXPECT_EQ(steps[5].kind, ScriptStep::kKeyUp);
    EXPECT_EQ(rejected, (std::vector<std::string>{"bad", "3:keydown:nokey", "4:close:x", "-5:close", "5:flood",
                                                   "6:flood:0", "window+:close", "window+x:close"}));
}

}  // namespace
