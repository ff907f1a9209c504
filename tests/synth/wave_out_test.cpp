// The winmm wave-output stand-in refuses what it cannot play rather than playing noise. How
// headers are played, reset and the position followed is the synthesizer's playback test's
// to check, through the calls the synthesizer makes.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

namespace {

TEST(WaveOutOpen, RefusesAFormatItCannotPlay)
{
    HWAVEOUT h = nullptr;
    const WAVEFORMATEX eightBit = {WAVE_FORMAT_PCM, 2, 44100, 44100 * 2, 2, 8, 0};
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &eightBit, 0, 0, CALLBACK_NULL), (MMRESULT)WAVERR_BADFORMAT);
    EXPECT_EQ(h, nullptr);
}

}  // namespace
