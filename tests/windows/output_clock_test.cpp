// The clocks of the Windows build's outputs: the wave device's 32-bit counter made into the
// heard clock, and the null output used where there is no wave device.
#include "heard_clock.h"
#include "null_output_device.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace quarvel::audio {
namespace {

// The device's 32-bit counter extended across its wrap, never ahead of what was written and
// never backwards.
TEST(WindowsHeardClock, ExtendsTheCounterNeverAheadNorBackwards) {
    HeardClock wrapping;
    const uint64_t written = 1ull << 40;
    EXPECT_EQ(wrapping.Update(0xFFFFFF00u, written), 0xFFFFFF00u);
    EXPECT_EQ(wrapping.Update(0x00000100u, written), 0x100000100ull);
    EXPECT_EQ(wrapping.Update(0x00000200u, written), 0x100000200ull);

    HeardClock clock;
    EXPECT_EQ(clock.Update(5000, 4096), 4096u);  // a driver counting past the queued frames
    EXPECT_EQ(clock.Update(6000, 8192), 6000u);
    EXPECT_EQ(clock.Update(5900, 8192), 6000u);  // a step back reads as standing still...
    EXPECT_EQ(clock.Update(6100, 8192), 6100u);  // ...and the clock goes on from the counter
    EXPECT_EQ(clock.Floor(), 6100u);
}

struct Rendered {
    std::atomic<uint64_t> frames{0};
    static void Render(void* user, int16_t* samples, int count) {
        samples[0] = 0;
        static_cast<Rendered*>(user)->frames += static_cast<uint64_t>(count);
    }
};

TEST(WindowsNullOutput, HeardRunsOnTheClockBehindWhatWasRendered) {
    constexpr int kRate = 44100;
    Rendered rendered;
    auto started = std::chrono::steady_clock::now();
    std::unique_ptr<OutputDevice> output = StartNullOutputDevice(kRate, &Rendered::Render, &rendered);
    ASSERT_NE(output, nullptr);
    EXPECT_TRUE(output->IsNull());
    uint64_t last = 0;
    // Until a tenth of a second has been heard (however busy the machine), every reading is
    // behind both the frames rendered and the wall clock, and none goes back.
    while (last < kRate / 10) {
        uint64_t heard = output->FramesHeard();
        double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        ASSERT_GE(heard, last);
        ASSERT_LE(heard, rendered.frames.load());
        ASSERT_LE(static_cast<double>(heard), elapsed * kRate + 1.0);
        ASSERT_LT(elapsed, 20.0) << "the null output's clock does not run";
        last = heard;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    output.reset();
    uint64_t after = rendered.frames.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(rendered.frames.load(), after);  // no render once it is closed
    EXPECT_EQ(StartNullOutputDevice(0, &Rendered::Render, &rendered), nullptr);
}

}  // namespace
}  // namespace quarvel::audio
