// The player's WAV writer: a header that says what the data is, the samples little-endian.
#include <gtest/gtest.h>

#include <stdio.h>
#include <vector>

#include "wav_file.h"

namespace {

uint32_t U16(const unsigned char* p) { return p[0] | p[1] << 8; }

TEST(SynthWavFile, HeaderAndSamples)
{
    const char* path = "synth_wav_file_test.wav";
    const int16_t pcm[6] = {1, -1, 32767, -32768, 0x1234, -2};
    ASSERT_TRUE(WriteWav(path, pcm, 3, 2, 44100));
    FILE* f = fopen(path, "rb");
    ASSERT_NE(f, nullptr);
    std::vector<unsigned char> b(100);
    b.resize(fread(b.data(), 1, b.size(), f));
    fclose(f);
    remove(path);

    ASSERT_EQ(b.size(), 44u + 12);
    // RIFF of 36 + 12 bytes, a 16-byte PCM format of 2 channels at 44100 Hz (176400 bytes a
    // second, 4 a frame, 16 bits), and 12 bytes of data.
    const std::vector<unsigned char> header = {
        'R', 'I', 'F',  'F',  48, 0, 0,    0,    'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16,  0,   0,  0, 1, 0,
        2,   0,   0x44, 0xAC, 0,  0, 0x10, 0xB1, 2,   0,   4,   0,   16,  0,   'd', 'a', 't', 'a', 12, 0, 0, 0};
    EXPECT_EQ(std::vector<unsigned char>(b.begin(), b.begin() + 44), header);
    for (int i = 0; i < 6; i++) EXPECT_EQ((int16_t)U16(&b[44 + 2 * i]), pcm[i]) << i;
}

TEST(SynthWavFile, FailureLeavesNoFile)
{
    const int16_t pcm[2] = {0, 0};
    EXPECT_FALSE(WriteWav("no-such-folder/out.wav", pcm, 1, 2, 44100));
    EXPECT_FALSE(WriteWav("synth_wav_bad.wav", pcm, 1, 0, 44100));
    EXPECT_EQ(fopen("synth_wav_bad.wav", "rb"), nullptr);
}

}  // namespace
