// Recording: the settings, the virtual time line, the frame outputs, and whole recorded
// runs of the program.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_image.h>
#pragma GCC diagnostic pop

#include "needs.h"
#include "program_runner.h"
#include "record/frame_sink.h"
#include "record/record_settings.h"
#include "record/virtual_time.h"
#include "scratch.h"

namespace {

using namespace quarvel::record;

TEST(RecordSettings, ParsesPathRateAndTimesAndRefusesWhatCannotBeUsed) {
    Settings s;
    std::string error;
    ASSERT_TRUE(ParseSettings(nullptr, "12", "1,2", s, error));
    EXPECT_FALSE(s.active);  // the rest means nothing without a path

    // Whether it records, to a video, at what rate, and the times.
    auto read = [&s] { return std::make_tuple(s.active, s.video, s.fps, s.timesMs); };
    using Times = std::vector<uint32_t>;
    ASSERT_TRUE(ParseSettings("out/", nullptr, nullptr, s, error));
    EXPECT_EQ(read(), std::make_tuple(true, false, 30.0, Times{}));
    ASSERT_TRUE(ParseSettings("run.MKV", "59.94", "0, 500,18000,4294967295", s, error));
    EXPECT_EQ(read(), std::make_tuple(true, true, 59.94, Times{0, 500, 18000, 4294967295u}));
    ASSERT_TRUE(ParseSettings("a.mp4", "", "", s, error));
    EXPECT_EQ(read(), std::make_tuple(true, true, 30.0, Times{}));

    // What cannot be used is refused.
    EXPECT_FALSE(ParseSettings("", nullptr, nullptr, s, error));
    for (const char* fps : {"0", "-5", "abc", "30fps", "1001", "nan", "inf"}) {
        error.clear();
        EXPECT_FALSE(ParseSettings("out", fps, nullptr, s, error)) << fps;
        EXPECT_NE(error.find("QUARVEL_RECORD_FPS"), std::string::npos) << fps;
    }
    for (const char* times : {"1,,2", "1,", "-1", "1.5", "500ms", "4294967296"})
        EXPECT_FALSE(ParseSettings("out", nullptr, times, s, error)) << times;
}

TEST(VirtualTime, EveryMillisecondHasAnExactPosition) {
    for (int rate : {44100, 48000, 22050}) {
        for (uint32_t ms = 0; ms <= 31000; ++ms) {
            const uint64_t frames = FramesForMusicMs(ms, rate);
            ASSERT_EQ(MusicMsForFrames(frames, rate), ms) << rate << " Hz";
            // The earliest such frame: within one millisecond's worth of frames of the exact one.
            ASSERT_LE(frames, uint64_t(ms) * rate / 1000 + 2) << ms;
        }
    }
    EXPECT_EQ(FramesForMusicMs(12345, 44100), 544415u);  // 544414 reads as 12344 ms
}

using quarvel::test::ReadWholeFile;

class RecordFolder : public ::testing::Test {
protected:
    quarvel::test::ScratchFolder scratch;
    const std::string dir = scratch.Path();
};

TEST_F(RecordFolder, WritesNumberedPngsAndAnIndex) {
    const std::string folder = dir + "/a/b/";
    std::ofstream(dir + "/placeholder");
    std::filesystem::create_directories(folder);
    std::ofstream(dir + "/a/b/00007.png") << "old";
    std::ofstream(dir + "/a/b/notes.png") << "kept";
    std::string error;
    std::unique_ptr<FrameSink> sink = OpenFolderSink(folder, error);
    ASSERT_NE(sink, nullptr) << error;
    std::vector<uint8_t> rgb(4 * 2 * 3, 200);
    Frame frame = {rgb.data(), 4, 2, 0, 0, false, 0, 0.0};
    ASSERT_TRUE(sink->Write(frame, error)) << error;
    frame.sequence = 1;
    frame.musicMs = 33;
    frame.loop = true;
    ASSERT_TRUE(sink->Write(frame, error)) << error;
    ASSERT_TRUE(sink->Close(error)) << error;
    EXPECT_EQ(ReadWholeFile(folder + "frames.tsv"), "00000\t0\tstartup\n00001\t33\tloop\n");
    EXPECT_EQ(ReadWholeFile(folder + "00001.png").substr(1, 3), "PNG");
    EXPECT_FALSE(std::ifstream(folder + "00007.png").good());  // an earlier run's frame
    EXPECT_TRUE(std::ifstream(folder + "notes.png").good());

    EXPECT_EQ(OpenFolderSink(dir + "/placeholder", error), nullptr);  // a file, not a folder
    EXPECT_FALSE(error.empty());
}

TEST_F(RecordFolder, FfmpegRefusingTheOutputIsReported) {
    QUARVEL_NEEDS_PROGRAM("ffmpeg");
    std::string error;
    std::unique_ptr<FrameSink> sink = OpenVideoSink({dir + "/missing/folder/out.mp4", 10.0, ""}, error);
    ASSERT_NE(sink, nullptr) << error;
    std::vector<uint8_t> rgb(15 * 9 * 3, 90);
    Frame frame = {rgb.data(), 15, 9, 0, 0, true, 0, 0.0};
    sink->Write(frame, error);
    EXPECT_FALSE(sink->Close(error));
    EXPECT_NE(error.find("ffmpeg"), std::string::npos) << error;
}

// The index of a recording, whose frames are numbered from 0 in order.
std::vector<RecordedFrame> ReadIndex(const std::string& folder) {
    std::vector<RecordedFrame> frames = ReadFrames(folder);
    for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(frames[i].number, int(i));
    return frames;
}

// The music time the harness encoded in a frame's colour.
uint32_t EncodedMs(const std::string& png) {
    int w, h, channels;
    stbi_uc* pixels = stbi_load(png.c_str(), &w, &h, &channels, 3);
    if (!pixels) return 0xFFFFFFFFu;
    const uint32_t ms = pixels[0] | pixels[1] << 8 | pixels[2] << 16;
    stbi_image_free(pixels);
    return ms;
}

int RunHarness(const std::string& environment, const std::string& log) {
    const std::string command = environment + " " + QUARVEL_RECORD_HARNESS +
                                " 'Data/BRISVANE KETRA MASTER 22.mp3' > '" + log + "' 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Start-up and main loop as the program does them, with the real audio library and device.
TEST_F(RecordFolder, LoopFrameKShowsKOverFps) {
    const std::string out = dir + "/frames";
    ASSERT_EQ(RunHarness("QUARVEL_RECORD='" + out + "' QUARVEL_RECORD_FPS=10", dir + "/log"), 0)
        << ReadWholeFile(dir + "/log");
    const std::vector<RecordedFrame> lines = ReadIndex(out);
    // Loop frames 0 to 301: the frame at 30 000 ms is followed by one more, the first past it.
    ASSERT_EQ(lines.size(), 3u + 302u);
    for (size_t i = 0; i < lines.size(); ++i) {
        const bool loop = i >= 3;
        ASSERT_EQ(lines[i].loop, loop) << i;
        // Position exactly k / fps; the program's float arithmetic makes, for example, 16.3 s
        // read as 16 299 ms.
        ASSERT_EQ(lines[i].musicMs, loop ? MusicMsForFrames((i - 3) * 4410, 44100) : 0) << i;
        ASSERT_NEAR(lines[i].musicMs, loop ? (i - 3) * 100.0 : 0.0, 1.0) << i;
        if (i % 25 == 0 || i + 1 == lines.size()) {
            char name[32];
            std::snprintf(name, sizeof name, "/%05d.png", lines[i].number);
            EXPECT_EQ(EncodedMs(out + name), lines[i].musicMs) << i;
        }
    }
    EXPECT_EQ(lines.back().musicMs, 30100u);
    EXPECT_NE(ReadWholeFile(dir + "/log").find("305 frames"), std::string::npos) << ReadWholeFile(dir + "/log");
}

TEST_F(RecordFolder, VideoKeepsTheVirtualTimeLineAndTheMusic) {
    QUARVEL_NEEDS_PROGRAM("ffprobe");
    const std::string video = dir + "/run.mp4";
    ASSERT_EQ(RunHarness("QUARVEL_RECORD='" + video + "' QUARVEL_RECORD_FPS=10", dir + "/log"), 0)
        << ReadWholeFile(dir + "/log");
    auto probe = [&](const std::string& options) {
        const std::string out = dir + "/probe.txt";
        EXPECT_EQ(std::system(("ffprobe -v error " + options + " -of csv=p=0 " + video + " > " + out).c_str()), 0);
        return ReadWholeFile(out);
    };
    // Three start-up frames, the full bar repeated over the one-second pause (10 slots),
    // then 302 loop frames.
    EXPECT_EQ(probe("-count_frames -select_streams v:0 -show_entries stream=codec_name,pix_fmt,nb_read_frames,"
                    "width,height"),
              "h264,64,36,yuv420p,315\n");
    // The music starts with the first loop frame, 1.3 s into the video (less the AAC
    // encoder's priming).
    const std::string audio = probe("-select_streams a:0 -show_entries stream=codec_name,start_time");
    ASSERT_EQ(audio.rfind("aac,", 0), 0u) << audio;
    EXPECT_NEAR(std::stod(audio.substr(4)), 1.3, 0.05) << audio;
}

}  // namespace
