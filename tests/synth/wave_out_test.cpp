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

TEST(WaveOutOpen, RefusesWhatItCannotPlay)
{
    HWAVEOUT h = nullptr;
    WAVEFORMATEX f = Format();
    EXPECT_EQ(waveOutOpen(&h, 3, &f, 0, 0, CALLBACK_NULL), (MMRESULT)MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, nullptr, 0, 0, CALLBACK_NULL), (MMRESULT)MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), (MMRESULT)MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, 0x80000000u), (MMRESULT)MMSYSERR_INVALFLAG);
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 1, 0, CALLBACK_FUNCTION), (MMRESULT)MMSYSERR_NOTSUPPORTED);

    WAVEFORMATEX bad[] = {Format(2, 44100, 8), Format(3), Format(2, 500), Format()};
    bad[3].nBlockAlign = 2;
    for (WAVEFORMATEX& b : bad)
        EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &b, 0, 0, CALLBACK_NULL), (MMRESULT)WAVERR_BADFORMAT);
    WAVEFORMATEX tag = Format();
    tag.wFormatTag = 3;
    EXPECT_EQ(waveOutOpen(&h, 0, &tag, 0, 0, CALLBACK_NULL), (MMRESULT)WAVERR_BADFORMAT);
    EXPECT_EQ(h, nullptr);

    // A query opens nothing and needs no handle.
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &f, 0, 0, WAVE_FORMAT_QUERY), (MMRESULT)MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutOpen(nullptr, 0, &bad[0], 0, 0, WAVE_FORMAT_QUERY), (MMRESULT)WAVERR_BADFORMAT);
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
    EXPECT_EQ(waveOutPrepareHeader(h, &hdr, sizeof hdr - 1), (MMRESULT)MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutPrepareHeader(h, nullptr, sizeof hdr), (MMRESULT)MMSYSERR_INVALPARAM);
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

    // The handle is gone, and so is one never handed out.
    MMTIME t = {TIME_BYTES, {0}};
    EXPECT_EQ(waveOutGetPosition(h, &t, sizeof t), (MMRESULT)MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutReset(h), (MMRESULT)MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(h), (MMRESULT)MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutWrite((HWAVEOUT)0x1234, &hdr, sizeof hdr), (MMRESULT)MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutReset(nullptr), (MMRESULT)MMSYSERR_INVALHANDLE);
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

    MMTIME ms = {TIME_MS, {0}}, smp = {TIME_SAMPLES, {0}}, smpte = {TIME_SMPTE, {0}};
    waveOutGetPosition(h, &ms, sizeof ms);
    waveOutGetPosition(h, &smp, sizeof smp);
    waveOutGetPosition(h, &smpte, sizeof smpte);
    EXPECT_EQ(ms.wType, (UINT)TIME_MS);
    EXPECT_NEAR(ms.u.ms, mid / 176.4, 30);
    EXPECT_NEAR(smp.u.sample, mid / 4.0, 44100 * 0.03);
    EXPECT_EQ(smpte.wType, (UINT)TIME_BYTES);  // not offered: bytes instead
    EXPECT_EQ(waveOutGetPosition(h, &ms, sizeof ms - 1), (MMRESULT)MMSYSERR_INVALPARAM);

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

TEST(WaveOutPosition, MonoCountsTwoBytesAFrame)
{
    HWAVEOUT h = nullptr;
    WAVEFORMATEX f = Format(1, 22050);
    ASSERT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), (MMRESULT)MMSYSERR_NOERROR);
    std::vector<int16_t> pcm(2205, 7);  // 0.1 s
    WAVEHDR hdr = {};
    hdr.lpData = (LPSTR)pcm.data();
    hdr.dwBufferLength = (DWORD)(pcm.size() * 2);
    waveOutPrepareHeader(h, &hdr, sizeof hdr);
    waveOutWrite(h, &hdr, sizeof hdr);
    ASSERT_TRUE(WaitDone(hdr, 3000));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    MMTIME t = {TIME_SAMPLES, {0}};
    waveOutGetPosition(h, &t, sizeof t);
    EXPECT_EQ(t.u.sample, 2205u);
    EXPECT_EQ(Bytes(h), 4410u);
    waveOutUnprepareHeader(h, &hdr, sizeof hdr);
    waveOutClose(h);
}

}  // namespace
