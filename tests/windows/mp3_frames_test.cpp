// The frame reader that feeds the Windows build's ACM codec. mpg123 stands in for the codec
// here: the frames the reader cuts out, decoded one by one and trimmed to GaplessSpan, must be
// exactly the samples mpg123 gives for the whole file with its own gapless decoding, which is
// what the Linux build plays.
#include "byte_source.h"
#include "mp3_frames.h"
#include "mp3_reader.h"
#include "mp3_writer.h"
#include "scratch.h"

#include <mpg123.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace quarvel::audio {
namespace {

using Bytes = std::vector<uint8_t>;

struct Encoded {
    std::string path;
    Bytes bytes;
    size_t frames = 0;  // PCM frames encoded
    int channels = 0;
    int rate = 0;
};

// A chirp with a little noise, so neighbouring frames differ and a trimming error shows.
Encoded Encode(const char* name, size_t frames, int channels, int rate, int kbps) {
    static const quarvel::test::ScratchFolder folder;
    std::mt19937 random(static_cast<unsigned>(frames));
    std::uniform_real_distribution<double> noise(-0.02, 0.02);
    std::vector<int16_t> pcm(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / rate;
        double value = 0.6 * std::sin(2.0 * std::numbers::pi * (200.0 + 900.0 * t) * t) + noise(random);
        for (int c = 0; c < channels; ++c) {
            pcm[i * channels + c] = static_cast<int16_t>(std::lround(value * (c == 0 ? 32000.0 : -25000.0)));
        }
    }
    Encoded encoded{folder / name, {}, frames, channels, rate};
    EXPECT_TRUE(quarvel::music::WriteMp3(encoded.path, pcm.data(), frames, channels, rate, kbps));
    std::ifstream file(encoded.path, std::ios::binary);
    encoded.bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return encoded;
}

// mpg123 as a frame-by-frame codec, as ACM is used: every frame the reader gives, untrimmed.
std::vector<int16_t> DecodeFrames(Mp3FrameReader& reader, size_t* frameCount) {
    std::vector<int16_t> samples;
    *frameCount = 0;
    if (mpg123_init() != MPG123_OK) return samples;
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_param(handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_open_feed(handle);
    Bytes frame;
    std::vector<unsigned char> buffer(16384);
    while (reader.Next(&frame)) {
        ++*frameCount;
        const unsigned char* in = frame.data();
        size_t inSize = frame.size();
        for (;;) {
            size_t done = 0;
            int result = mpg123_decode(handle, in, inSize, buffer.data(), buffer.size(), &done);
            in = nullptr;
            inSize = 0;
            auto* begin = reinterpret_cast<int16_t*>(buffer.data());
            samples.insert(samples.end(), begin, begin + done / sizeof(int16_t));
            if (result == MPG123_NEED_MORE || (result != MPG123_OK && result != MPG123_NEW_FORMAT)) break;
        }
    }
    mpg123_delete(handle);
    return samples;
}

std::vector<int16_t> Trim(const std::vector<int16_t>& decoded, Mp3SampleSpan span, int channels) {
    auto c = static_cast<uint64_t>(channels);
    uint64_t frames = decoded.size() / c;
    uint64_t end = std::min(span.end, frames);
    uint64_t begin = std::min(span.begin, end);
    return std::vector<int16_t>(decoded.begin() + static_cast<std::ptrdiff_t>(begin * c),
                                decoded.begin() + static_cast<std::ptrdiff_t>(end * c));
}

TEST(WindowsMp3Frames, FramesTrimmedToTheGaplessSpanAreWhatMpg123Plays) {
    struct Case {
        const char* name;
        size_t frames;
        int channels, rate, kbps, version;
    };
    for (const Case& c : {Case{"stereo44.mp3", 44100 + 777, 2, 44100, 192, 1},
                          Case{"mono32.mp3", 32000 / 3, 1, 32000, 64, 1},
                          Case{"stereo22.mp3", 22050 * 2 + 5, 2, 22050, 64, 2},
                          Case{"mono11.mp3", 11025 + 1, 1, 11025, 32, 25}}) {
        SCOPED_TRACE(c.name);
        Encoded encoded = Encode(c.name, c.frames, c.channels, c.rate, c.kbps);
        std::unique_ptr<ByteSource> source = OpenMemorySource(encoded.bytes.data(), encoded.bytes.size());
        Mp3FrameReader reader(*source);
        ASSERT_TRUE(reader.Open());
        EXPECT_EQ(std::make_tuple(reader.First().version, reader.First().rate, reader.First().channels),
                  std::make_tuple(c.version, c.rate, c.channels));
        ASSERT_TRUE(reader.Info().gapless);

        size_t frameCount = 0;
        std::vector<int16_t> decoded = DecodeFrames(reader, &frameCount);
        EXPECT_EQ(frameCount, reader.Info().frameCount);
        EXPECT_EQ(decoded.size(), frameCount * static_cast<size_t>(reader.First().samples * c.channels));

        Mp3SampleSpan span = GaplessSpan(reader.Info(), reader.First().samples);
        EXPECT_EQ(span.end - span.begin, c.frames);
        std::vector<int16_t> trimmed = Trim(decoded, span, c.channels);
        std::vector<int16_t> reference = quarvel::music::ReadMp3(encoded.path);
        ASSERT_EQ(trimmed.size(), reference.size());
        EXPECT_TRUE(trimmed == reference);
    }
}

std::vector<Bytes> AllFrames(const Bytes& bytes) {
    std::unique_ptr<ByteSource> source = OpenMemorySource(bytes.data(), bytes.size());
    Mp3FrameReader reader(*source);
    std::vector<Bytes> frames;
    if (!reader.Open()) return frames;
    Bytes frame;
    while (reader.Next(&frame)) frames.push_back(frame);
    return frames;
}

TEST(WindowsMp3Frames, StepsOverTagsJunkAndACutLastFrame) {
    Encoded encoded = Encode("tagged.mp3", 44100, 2, 44100, 128);
    std::vector<Bytes> clean = AllFrames(encoded.bytes);
    ASSERT_GT(clean.size(), 10u);

    // ID3v2 (with a footer) in front; junk, including a false sync, after the fifth frame;
    // half a frame and an ID3v1 tag at the end.
    Bytes damaged = {'I', 'D', '3', 4, 0, 0x10, 0, 0, 0x07, 0x68};  // 1000 bytes of tag body
    damaged.resize(damaged.size() + 1000, 0xFF);
    damaged.insert(damaged.end(), {'3', 'D', 'I', 4, 0, 0x10, 0, 0, 0x07, 0x68});
    // The file is LAME's information frame followed by the audio frames.
    size_t infoFrameBytes = encoded.bytes.size();
    for (const Bytes& frame : clean) infoFrameBytes -= frame.size();
    damaged.insert(damaged.end(), encoded.bytes.begin(), encoded.bytes.begin() + static_cast<std::ptrdiff_t>(infoFrameBytes));
    for (size_t i = 0; i < clean.size(); ++i) {
        damaged.insert(damaged.end(), clean[i].begin(), clean[i].end());
        if (i == 4) damaged.insert(damaged.end(), {0x00, 0xFF, 0xFB, 0x12, 0x34, 0x55});
    }
    damaged.insert(damaged.end(), clean[3].begin(), clean[3].begin() + static_cast<std::ptrdiff_t>(clean[3].size() / 2));
    Bytes id3v1 = {'T', 'A', 'G'};
    id3v1.resize(128, ' ');
    damaged.insert(damaged.end(), id3v1.begin(), id3v1.end());

    std::vector<Bytes> found = AllFrames(damaged);
    ASSERT_EQ(found.size(), clean.size());
    for (size_t i = 0; i < clean.size(); ++i) EXPECT_TRUE(found[i] == clean[i]) << i;
}

TEST(WindowsMp3Frames, RewindGoesBackToTheFirstAudioFrame) {
    Encoded encoded = Encode("rewind.mp3", 20000, 1, 44100, 96);
    std::unique_ptr<ByteSource> source = OpenMemorySource(encoded.bytes.data(), encoded.bytes.size());
    Mp3FrameReader reader(*source);
    ASSERT_TRUE(reader.Open());
    Bytes first;
    Bytes frame;
    ASSERT_TRUE(reader.Next(&first));
    while (reader.Next(&frame)) {
    }
    ASSERT_TRUE(reader.Rewind());
    ASSERT_TRUE(reader.Next(&frame));
    EXPECT_TRUE(frame == first);
    // The information frame is not audio: it never comes back as a frame.
    Mp3FrameHeader header;
    Mp3StreamInfo info;
    ASSERT_TRUE(ParseMp3FrameHeader(frame.data(), &header));
    EXPECT_FALSE(ParseMp3InfoFrame(frame.data(), frame.size(), header, &info));
}

TEST(WindowsMp3Frames, BytesThatAreNoLayer3StreamDoNotOpen) {
    std::vector<Bytes> inputs;
    const char text[] = "These are words, not frames; a file of them is not music.";
    inputs.emplace_back(text, text + sizeof(text));
    std::mt19937 random(5u);
    Bytes noise(64 * 1024);
    for (uint8_t& byte : noise) byte = static_cast<uint8_t>(random());
    inputs.push_back(noise);
    // One lone header: nothing confirms it.
    inputs.push_back({0xFF, 0xFB, 0x90, 0x64, 1, 2, 3, 4, 5, 6, 7, 8});
    // Layer II frames chain just as well, but the MP3 codec does not take them.
    Bytes layer2;
    for (int i = 0; i < 8; ++i) {
        Bytes frame = {0xFF, 0xFD, 0x92, 0x64};
        frame.resize(418, 0x11);
        layer2.insert(layer2.end(), frame.begin(), frame.end());
    }
    inputs.push_back(layer2);
    for (const Bytes& bytes : inputs) {
        std::unique_ptr<ByteSource> source = OpenMemorySource(bytes.data(), bytes.size());
        Mp3FrameReader reader(*source);
        EXPECT_FALSE(reader.Open()) << bytes.size();
    }
}

}  // namespace
}  // namespace quarvel::audio
