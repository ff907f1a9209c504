// The winmm wave-output stand-in: the results Windows gives for bad arguments and misused
// headers, and a position that follows real time over the data written.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

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

bool WaitDone(const WAVEHDR& h, int ms)
{
    auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (!(h.dwFlags & WHDR_DONE) && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return (h.dwFlags & WHDR_DONE) != 0;
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

TEST(WaveOutPosition, FollowsRealTimeToTheEndOfTheData)
{
    HWAVEOUT h = nullptr;
    WAVEFORMATEX f = Format();
    ASSERT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), (MMRESULT)MMSYSERR_NOERROR);
    // Two buffers, 0.3 s and 0.2 s, played one after the other; the second has half a frame
    // too many, which is not played.
    std::vector<int16_t> a(13230 * 2, 1), b(8820 * 2 + 1, 2);
    WAVEHDR ha = {}, hb = {};
    ha.lpData = (LPSTR)a.data();
    ha.dwBufferLength = (DWORD)(a.size() * 2);
    hb.lpData = (LPSTR)b.data();
    hb.dwBufferLength = (DWORD)(b.size() * 2);
    waveOutPrepareHeader(h, &ha, sizeof ha);
    waveOutPrepareHeader(h, &hb, sizeof hb);
    auto t0 = Clock::now();
    waveOutWrite(h, &ha, sizeof ha);
    waveOutWrite(h, &hb, sizeof hb);

    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    DWORD mid = Bytes(h);
    double s = std::chrono::duration<double>(Clock::now() - t0).count();
    EXPECT_LE(mid, s * 176400 + 176400 * 0.01);  // never ahead of real time
    EXPECT_FALSE(hb.dwFlags & WHDR_DONE);

    ASSERT_TRUE(WaitDone(hb, 3000));
    EXPECT_TRUE(ha.dwFlags & WHDR_DONE);
    DWORD last = 0;
    auto until = Clock::now() + std::chrono::seconds(2);
    while (Clock::now() < until) {
        DWORD now = Bytes(h);
        EXPECT_GE(now, last);
        last = now;
        if (now == (13230 + 8820) * 4) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(last, (DWORD)((13230 + 8820) * 4));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Bytes(h), last);  // silence after the data does not count
    waveOutUnprepareHeader(h, &ha, sizeof ha);
    waveOutUnprepareHeader(h, &hb, sizeof hb);
    EXPECT_EQ(waveOutClose(h), (MMRESULT)MMSYSERR_NOERROR);
}

}  // namespace
