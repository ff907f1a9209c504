// The player's WAV writer: a header that says what the data is, the samples little-endian.
#include <gtest/gtest.h>

#include <stdio.h>
#include <vector>

#include "wav_file.h"

namespace {

uint32_t U32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }
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
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(U32(&b[4]), 36u + 12);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(U32(&b[16]), 16u);
    EXPECT_EQ(U16(&b[20]), 1u);  // PCM
    EXPECT_EQ(U16(&b[22]), 2u);
    EXPECT_EQ(U32(&b[24]), 44100u);
    EXPECT_EQ(U32(&b[28]), 176400u);
    EXPECT_EQ(U16(&b[32]), 4u);
    EXPECT_EQ(U16(&b[34]), 16u);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(U32(&b[40]), 12u);
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
