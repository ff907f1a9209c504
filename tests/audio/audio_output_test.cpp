// The shared PCM output as this machine runs it: no sound device, so the null output, whose
// clock has to run at the sample rate (times QUARVEL_AUDIO_SPEED) and behave like a device's.
#include "output_state.h"

#include <quarvel/audio_output.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace quarvel::audio_output {
namespace {

using namespace std::chrono_literals;

struct Counter {
    std::atomic<uint64_t> frames{0};
    std::atomic<int> calls{0};
    std::atomic<bool> sizesOk{true};
};

void Count(void* user, int16_t* frames, int frameCount) {
    auto& counter = *static_cast<Counter*>(user);
    if (frames == nullptr || frameCount <= 0) counter.sizesOk = false;
    for (int i = 0; i < 2 * frameCount; ++i) frames[i] = 0;
    counter.frames += static_cast<uint64_t>(frameCount);
    ++counter.calls;
}

class AudioOutput : public ::testing::Test {
protected:
    void SetUp() override { unsetenv("QUARVEL_AUDIO_SPEED"); }
    void TearDown() override { unsetenv("QUARVEL_AUDIO_SPEED"); }
};

TEST_F(AudioOutput, NullOutputRunsInRealTimeWithoutADevice) {
    Counter counter;
    Output* output = OpenOutput(44100, Count, &counter);
    ASSERT_NE(output, nullptr);
    EXPECT_TRUE(IsNullOutput(output));  // SDL_AUDIODRIVER=dummy plays to nobody
    EXPECT_EQ(OutputSampleRate(output), 44100);

    // Opened paused: nothing is pulled until it starts.
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(FramesPulled(output) + FramesHeard(output), 0u);

    StartOutput(output);
    auto start = std::chrono::steady_clock::now();
    uint64_t heard = 0;
    while (std::chrono::steady_clock::now() - start < 300ms) {
        uint64_t now = FramesHeard(output);
        ASSERT_GE(now, heard);
        ASSERT_LE(now, FramesPulled(output));
        heard = now;
    }
    double ceiling = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() * 44100;
    // Never ahead of real time (one 5 ms chunk of slack). How far a starved machine lets it
    // lag is no property of the clock: its rate is checked on set times below.
    EXPECT_LE(static_cast<double>(heard), ceiling + 221);
    EXPECT_GT(heard, 0u);
    CloseOutput(output);
    EXPECT_TRUE(counter.sizesOk);
    const int calls = counter.calls;
    EXPECT_GT(calls, 1);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(counter.calls.load(), calls) << "called back after close";
}

// A device's clock: what it was given minus what it still holds, the held part draining at
// the sample rate from the last callback and never more than its buffers.
TEST(AudioOutputClock, ADeviceSubtractsWhatItStillHoldsTheNullOutputIsCappedByWhatWasPulled) {
    Output output;
    output.rate = 1000;
    output.isNull = false;
    output.pulled = 10000;
    output.heldAtLastPull = 2000;
    output.lastPull = Clock::now();
    EXPECT_EQ(EstimateHeardLocked(output, output.lastPull), 8000u);
    EXPECT_EQ(EstimateHeardLocked(output, output.lastPull + 500ms), 8500u);
    EXPECT_EQ(EstimateHeardLocked(output, output.lastPull + 5s), 10000u);
    // A clock read just before the callback's time (another thread's now) does not run back.
    EXPECT_EQ(EstimateHeardLocked(output, output.lastPull - 1s), 8000u);

    // The null output's clock runs at its speed and is capped by what was pulled.
    output.isNull = true;
    output.speed = 2.0;
    output.pulled = 3000;
    output.anchorFrames = 1000;
    output.anchorTime = Clock::now();
    EXPECT_EQ(EstimateHeardLocked(output, output.anchorTime + 250ms), 1500u);
    EXPECT_EQ(EstimateHeardLocked(output, output.anchorTime + 10s), 3000u);
}

}  // namespace
}  // namespace quarvel::audio_output
