// The winmm wave-output stand-in: the results Windows gives for bad arguments and misused
// headers. How the position follows the sound is the synthesizer's playback test's to check.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {


WAVEFORMATEX Format(WORD channels = 2, DWORD rate = 44100, WORD bits = 16)
{
    WORD align = (WORD)(channels * bits / 8);
    return {WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
}

DWORD Bytes(HWAVEOUT h)
{
    MMTIME t = {TIME_BYTES, {0}};
    EXPECT_EQ(waveOutGetPosition(h, &t, sizeof t), (MMRESULT)MMSYSERR_NOERROR);
    EXPECT_EQ(t.wType, (UINT)TIME_BYTES);
    return t.u.cb;
}

TEST(WaveOutOpen, RefusesAFormatItCannotPlay)
{
    HWAVEOUT h = nullptr;
    WAVEFORMATEX eightBit = Format(2, 44100, 8);
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &eightBit, 0, 0, CALLBACK_NULL), (MMRESULT)WAVERR_BADFORMAT);
    EXPECT_EQ(h, nullptr);
}

TEST(WaveOutHeaders, PrepareWriteResetUnprepareClose)
{
    HWAVEOUT h = nullptr;
    WAVEFORMATEX f = Format();
    ASSERT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), (MMRESULT)MMSYSERR_NOERROR);
    std::vector<int16_t> pcm(44100 * 2 * 10, 100);  // 10 s: still playing during the test
    WAVEHDR hdr = {};
    hdr.lpData = (LPSTR)pcm.data();
    hdr.dwBufferLength = (DWORD)(pcm.size() * 2);

    EXPECT_EQ(waveOutWrite(h, &hdr, sizeof hdr), (MMRESULT)WAVERR_UNPREPARED);
    ASSERT_EQ(waveOutPrepareHeader(h, &hdr, sizeof hdr), (MMRESULT)MMSYSERR_NOERROR);
    EXPECT_EQ(hdr.dwFlags, (DWORD)WHDR_PREPARED);
    ASSERT_EQ(waveOutWrite(h, &hdr, sizeof hdr), (MMRESULT)MMSYSERR_NOERROR);
    EXPECT_EQ(hdr.dwFlags, (DWORD)(WHDR_PREPARED | WHDR_INQUEUE));
    EXPECT_EQ(waveOutWrite(h, &hdr, sizeof hdr), (MMRESULT)WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(h, &hdr, sizeof hdr), (MMRESULT)WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutClose(h), (MMRESULT)WAVERR_STILLPLAYING);

    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_GT(Bytes(h), 0u);
    EXPECT_EQ(waveOutReset(h), (MMRESULT)MMSYSERR_NOERROR);
    EXPECT_EQ(hdr.dwFlags, (DWORD)(WHDR_PREPARED | WHDR_DONE));
    EXPECT_EQ(Bytes(h), 0u);  // the position starts again from zero
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Bytes(h), 0u);  // and stays there with nothing queued

    EXPECT_EQ(waveOutUnprepareHeader(h, &hdr, sizeof hdr), (MMRESULT)MMSYSERR_NOERROR);
    EXPECT_EQ(hdr.dwFlags, (DWORD)WHDR_DONE);
    EXPECT_EQ(waveOutClose(h), (MMRESULT)MMSYSERR_NOERROR);

    MMTIME t = {TIME_BYTES, {0}};
    EXPECT_EQ(waveOutGetPosition(h, &t, sizeof t), (MMRESULT)MMSYSERR_INVALHANDLE) << "a closed handle";
}

}  // namespace
