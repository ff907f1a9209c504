// The main loop on a fast music clock: the null audio output runs many times faster than
// real time, frames go through the real device and post-processing chain on the virtual
// display, and the frame composition is replaced by one that records what each frame saw.
#include <gtest/gtest.h>

#include <math.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/main_loop.h"
#include "app/main_window.h"
#include "gfx/graphics_context.h"
#include "post/post_chain.h"
#include "scene/compose_frame.h"
#include "mp3_writer.h"
#include "test_window.h"

namespace {

struct Frame {
    uint32_t ms;
    float sec;
};
std::vector<Frame> frames;

}  // namespace

// The scene, replaced for the test.
void ComposeFrame() {
    frames.push_back({musicTimeMs, musicTimeSec});
    usleep(1000);  // about as long as a frame of a real scene, so the loop does not spin
}

namespace {

// A quiet 440 Hz tone of `seconds`, mono.
std::string WriteTone(const char* name, double seconds) {
    const int rate = 44100;
    std::vector<int16_t> pcm(static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<int16_t>(3000 * sin(2 * M_PI * 440 * i / rate));
    std::string path = std::string("/tmp/quarvel_main_loop_") + std::to_string(getpid()) + "_" + name + ".mp3";
    EXPECT_TRUE(quarvel::tools::WriteMp3(path, pcm.data(), pcm.size(), 1, rate, 64));
    return path;
}

class AppMainLoop : public ::testing::Test {
protected:
    static void SetUpTestSuite() { longTone = WriteTone("long", 30.6); }
    static void TearDownTestSuite() { unlink(longTone.c_str()); }
    void SetUp() override {
        frames.clear();
        // The device and the chain, as start-up makes them; the loop releases both.
        mainWindow = quarvel::test::OpenTestWindow(320, 180);
        ASSERT_NE(mainWindow, nullptr);
        ASSERT_TRUE(InitGraphics(false));
        ASSERT_EQ(postChain.Create(), S_OK);
        musicTimeMs = 0;
        musicTimeSec = 0.0f;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void TearDown() override {
        BASS_Free();
        unsetenv("QUARVEL_AUDIO_SPEED");
        musicStream = 0;
        DestroyWindow(mainWindow);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    // Shutdown ran: the chain and then the device were released.
    static void ExpectReleased() {
        EXPECT_EQ(postChain.programs[kEffectPassThrough], nullptr);
        EXPECT_EQ(postChain.rtvs[0], nullptr);
        EXPECT_EQ(graphics.swapChain, nullptr);
        EXPECT_EQ(graphics.device, nullptr);
    }
    // `speed`: how many times faster than real time the null output plays.
    static void Play(const std::string& path, const char* speed) {
        setenv("QUARVEL_AUDIO_SPEED", speed, 1);
        ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
        musicStream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
        ASSERT_NE(musicStream, 0u);
        BASS_ChannelPlay(musicStream, TRUE);
    }
    static inline std::string longTone;
};

TEST_F(AppMainLoop, EndsAfterTheFirstFrameAbove30000Ms) {
    Play(longTone, "25");
    // A message the loop retrieves and dispatches; a normal end still exits with 0.
    PostMessageA(nullptr, WM_USER, 87, 0);
    EXPECT_EQ(RunMainLoop(), 0);
    ASSERT_GE(frames.size(), 10u);
    EXPECT_GT(frames.back().ms, 30000u);
    EXPECT_LE(frames[frames.size() - 2].ms, 30000u);
    for (size_t i = 0; i < frames.size(); ++i) {
        // Set once per frame from the library's seconds, and agreeing with them.
        EXPECT_EQ(frames[i].ms, static_cast<uint32_t>(frames[i].sec * 1000.0f));
        if (i > 0) {
            EXPECT_GE(frames[i].ms, frames[i - 1].ms);
        }
    }
    ExpectReleased();
    EXPECT_EQ(BASS_ChannelIsActive(musicStream), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
}

TEST_F(AppMainLoop, QuitEndsBeforeAnyFrameWithItsCode) {
    Play(longTone, "25");
    PostQuitMessage(7);
    EXPECT_EQ(RunMainLoop(), 7);
    EXPECT_TRUE(frames.empty());
    ExpectReleased();
}


TEST(AppMusicClock, MillisecondsAreTheSecondsTruncated) {
    EXPECT_EQ(MusicTimeMsFromSeconds(12.3456f), 12345u);
    EXPECT_EQ(MusicTimeMsFromSeconds(30.0f), 30000u);
    EXPECT_EQ(MusicTimeMsFromSeconds(0.0009f), 0u);
    EXPECT_EQ(MusicTimeMsFromSeconds(-1.0f), 0u);  // a failed position query
    EXPECT_EQ(MusicTimeMsFromSeconds(NAN), 0u);
    EXPECT_EQ(MusicTimeMsFromSeconds(1e10f), 0xFFFFFFFFu);
}

}  // namespace
