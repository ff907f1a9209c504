// Streams as the main loop sees them: opening, playing, the heard position, the end.
#include "bass_fixture.h"

namespace quarvel::test {
namespace {

using namespace std::chrono_literals;

constexpr QWORD kTwoSecondsStereo = 2 * 44100 * 4;

class AudioStream : public BassTest {};

TEST_F(AudioStream, InitWorksWithoutASoundDeviceAndOnlyOnce) {
    Start("4");
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    EXPECT_TRUE(BASS_Update(0));

    // The null output's clock runs, so a stream's position moves.
    HSTREAM stream = Open(Files().sine1k);
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    EXPECT_TRUE(WaitUntilHeard(stream, 0.1));

    // Device 0 is "no sound": the null output, whatever devices exist.
    ASSERT_TRUE(BASS_Free());
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    stream = Open(Files().sine1k);
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    EXPECT_TRUE(WaitUntilHeard(stream, 0.1));
}

TEST_F(AudioStream, BadAndMissingFilesGiveTheNullHandleWhichIsStoppedAndRefused) {
    Start("1");
    struct Case {
        std::string path;
        int error;
    } cases[] = {{Files().missing, BASS_ERROR_FILEOPEN},
                 {Files().textFile, BASS_ERROR_FILEFORM},
                 {Files().emptyFile, BASS_ERROR_FILEFORM},
                 {"/", BASS_ERROR_FILEOPEN}};
    for (const Case& c : cases) {
        EXPECT_EQ(BASS_StreamCreateFile(FALSE, c.path.c_str(), 0, 0, 0), 0u) << c.path;
        EXPECT_EQ(BASS_ErrorGetCode(), c.error) << c.path;
    }

    // The handle the program then holds is stopped and refused.
    float bins[1024];
    float level = 0;
    EXPECT_EQ(BASS_ChannelIsActive(0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(BASS_ChannelGetPosition(0, BASS_POS_BYTE), static_cast<QWORD>(-1));
    EXPECT_LT(BASS_ChannelBytes2Seconds(0, 44100), 0.0);
    EXPECT_FALSE(BASS_ChannelPlay(0, TRUE));
    EXPECT_FALSE(BASS_ChannelStop(0));
    EXPECT_EQ(BASS_ChannelGetData(0, bins, BASS_DATA_FFT2048), static_cast<DWORD>(-1));
    EXPECT_FALSE(BASS_ChannelGetLevelEx(0, &level, 0.05f, BASS_LEVEL_MONO | BASS_LEVEL_RMS));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(AudioStream, PositionFollowsTheHeardAudio) {
    Start("4");
    HSTREAM stream = Open(Files().sine1k);
    EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 0u);  // decoded ahead, not heard
    EXPECT_EQ(BASS_ChannelGetPosition(stream, 1), static_cast<QWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOTAVAIL);

    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    double last = 0.0;
    double audio = 0.0;
    while (std::chrono::steady_clock::now() - start < 300ms) {
        QWORD bytes = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
        double seconds = BASS_ChannelBytes2Seconds(stream, bytes);
        audio = 4.0 * std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ASSERT_EQ(bytes % 4, 0u);  // whole stereo frames
        ASSERT_GE(seconds, last);
        // Never ahead of what the clock can have played (plus one 20 ms chunk at this speed).
        ASSERT_LE(seconds, audio + 0.021);
        last = seconds;
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_NE(BASS_ChannelIsActive(stream), 0u);
    EXPECT_GT(last, 0.0);
}

TEST_F(AudioStream, EndsWhenTheLastSampleHasBeenHeard) {
    Start("8");
    HSTREAM stream = Open(Files().sine1k);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    EXPECT_NE(BASS_ChannelIsActive(stream), 0u);
    double waited = WaitForEnd(stream, 5.0);
    ASSERT_LT(waited, 5.0) << "never ended";
    // Two seconds at eight times real time; not before they could all be heard.
    EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.24);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), kTwoSecondsStereo);
    EXPECT_DOUBLE_EQ(HeardSeconds(stream), 2.0);

    // The analysis calls refuse, leaving the caller's values as they were.
    float bins[1024];
    for (float& bin : bins) bin = 7.0f;
    EXPECT_EQ(BASS_ChannelGetData(stream, bins, BASS_DATA_FFT2048), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ENDED);
    EXPECT_EQ(std::make_pair(bins[0], bins[1023]), std::make_pair(7.0f, 7.0f));
    float level = 7.0f;
    EXPECT_FALSE(BASS_ChannelGetLevelEx(stream, &level, 0.05f, BASS_LEVEL_MONO | BASS_LEVEL_RMS));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ENDED);

    // Played again, it starts over from the beginning.
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    EXPECT_NE(BASS_ChannelIsActive(stream), 0u);
    EXPECT_LT(HeardSeconds(stream), 0.5);
    EXPECT_TRUE(WaitUntilHeard(stream, 0.2));
    EXPECT_LT(WaitForEnd(stream, 5.0), 5.0);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), kTwoSecondsStereo);
}

}  // namespace
}  // namespace quarvel::test
