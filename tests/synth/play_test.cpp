// The play routines on the wave-output stand-in (the null output here): positions in
// ticks, restarts at whole seconds, playing to the end.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <tuple>

#include "synth/synth.h"
#include "synth/wave.h"

namespace {

using Clock = std::chrono::steady_clock;
const float kLead = 8192.0f / 11504;  // the position runs this far ahead of the sound

TEST(SynthPlayback, PositionRightAfterStart)
{
    startmus();
    float p = getpos();
    EXPECT_GE(p, kLead);
    EXPECT_LT(p, kLead + 0.3f);
    EXPECT_EQ(WaveHdr.lpData, (LPSTR)MusBuf);
    EXPECT_EQ(WaveHdr.dwBufferLength, (DWORD)MUSBYTES);
    EXPECT_TRUE(WaveHdr.dwFlags & WHDR_INQUEUE);
    stopmus();
    EXPECT_FALSE(WaveHdr.dwFlags & (WHDR_INQUEUE | WHDR_PREPARED));
}

TEST(SynthPlayback, SetposRestartsAtTheWholeSecondInsideTheSongAndCountsOn)
{
    setpos(2.7f);
    auto t0 = Clock::now();
    float p0 = getpos();
    EXPECT_EQ(std::make_tuple(NewMpos, WaveHdr.lpData, WaveHdr.dwBufferLength),
              std::make_tuple(2, (LPSTR)MusBuf + 352800, (DWORD)(MUSBYTES - 352800)));
    EXPECT_GE(p0, 2 * 176400.0f / 11504 + kLead);
    EXPECT_LT(p0, 2 * 176400.0f / 11504 + kLead + 0.3f);

    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    float p1 = getpos();
    double s = std::chrono::duration<double>(Clock::now() - t0).count();
    // At 15.33 ticks a second of real time: never ahead of the clock, never back.
    EXPECT_LE(p1 - p0, s * 176400 / 11504 + 0.2);
    EXPECT_GE(p1, p0);
    stopmus();
    // A stopped device is back at position 0, not where it was when it stopped.
    EXPECT_EQ(getpos(), (float)((2 * 176400 + 8192) / 11504.0));

    // Asked for a place outside the song, it plays from the nearest end.
    setpos(-3.0f);
    EXPECT_EQ(std::make_pair(NewMpos, WaveHdr.lpData), std::make_pair(0, (LPSTR)MusBuf));
    setpos(1000.0f);
    EXPECT_EQ(std::make_pair(NewMpos, WaveHdr.dwBufferLength), std::make_pair(205, (DWORD)(MUSBYTES - 205 * 176400)));
    stopmus();
}

TEST(SynthPlayback, PlaysToTheEndOnce)
{
    setpos(205.0f);  // the last 13872 bytes, 79 ms
    auto until = Clock::now() + std::chrono::seconds(3);
    while (!(WaveHdr.dwFlags & WHDR_DONE) && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(WaveHdr.dwFlags & WHDR_DONE);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    float end = getpos();
    EXPECT_NEAR(end, (MUSBYTES + 8192) / 11504.0f, 0.01f);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(getpos(), end);
    stopmus();
}

}  // namespace
