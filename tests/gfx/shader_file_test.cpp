// The packed shader format and the path rule, without a compiler or a device.
#include <gtest/gtest.h>

#include <malloc.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include <zlib.h>

#include "gfx/shader_file.h"
#include "pack_format.h"
#include "scratch.h"

namespace {

std::string SourceText(size_t length) {
    std::string text;
    for (size_t i = 0; text.size() < length; ++i) text += "float4 v" + std::to_string(i) + ";\n";
    text.resize(length);
    return text;
}

std::vector<uint8_t> Packed(const std::string& text) {
    std::vector<uint8_t> packed;
    std::string error;
    EXPECT_TRUE(quarvel::shader_pack::PackShaderText(text, 9, packed, error)) << error;
    return packed;
}

void SetWord(std::vector<uint8_t>& packed, uint32_t word) {
    for (int i = 0; i < 4; ++i) packed[i] = (uint8_t)(word >> (8 * i));
}

class ShaderFileTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        EXPECT_TRUE(quarvel::test::WriteWholeFile(dir / name, bytes.data(), bytes.size()));
        return dir / name;
    }

    // Reads through the system's reader and hands back the text, or fails the test.
    std::string Read(const std::string& path, HRESULT* result = nullptr) {
        char* text = reinterpret_cast<char*>(1);
        UINT length = 12345;
        const HRESULT hr = ReadShaderFile(path.c_str(), &text, &length);
        if (result) *result = hr;
        if (FAILED(hr)) {
            EXPECT_EQ(text, nullptr);
            EXPECT_EQ(length, 0u);
            return "";
        }
        std::string out(text, length);
        free(text);
        return out;
    }

    quarvel::test::ScratchFolder dir;
};

TEST(ShaderFilePath, ReplacesTheLastExtensionKeepsTheSeparatorAndFitsMaxPath) {
    char path[MAX_PATH];
    for (const auto& [in, out] : {std::pair{"Shaders/Shaders2D.fx", "Shaders/Shaders2D.shader"},
                                  {"Shaders\\Bloom.hlsl", "Shaders\\Bloom.shader"},
                                  {"dir.v2/name.tar.gz", "dir.v2/name.tar.shader"},
                                  {"dir.v2/noext", "dir.v2/noext.shader"}}) {
        ASSERT_TRUE(ShaderFilePath(in, path)) << in;
        EXPECT_STREQ(path, out);
    }

    // What does not fit MAX_PATH is refused.
    const std::string fits = std::string(MAX_PATH - 1 - 7, 'a') + ".fx";  // 252 + ".shader" = 259
    ASSERT_TRUE(ShaderFilePath(fits.c_str(), path));
    EXPECT_EQ(strlen(path), (size_t)MAX_PATH - 1);
    const std::string tooLong = std::string(MAX_PATH - 7, 'a') + ".fx";
    EXPECT_FALSE(ShaderFilePath(tooLong.c_str(), path));
    EXPECT_FALSE(ShaderFilePath(std::string(MAX_PATH, 'b').c_str(), path));
}

TEST_F(ShaderFileTest, BackslashPathOpensTheFileInTheSubfolder) {
    mkdir((dir / "Shaders").c_str(), 0755);
    Write("Shaders/Bloom.shader", Packed("float4 bloom;"));
    char path[MAX_PATH];
    ASSERT_TRUE(ShaderFilePath((dir / "Shaders\\Bloom.hlsl").c_str(), path));
    EXPECT_EQ(Read(path), "float4 bloom;");
}

TEST_F(ShaderFileTest, TextLengthFollowsTheStreamAndReservesNoMoreThanItCouldFill) {
    const std::string text = SourceText(1780);
    std::vector<uint8_t> packed = Packed(text);
    EXPECT_EQ(packed[4], 0x78);  // zlib header, deflate with a 32 KiB window
    EXPECT_EQ(Read(Write("exact.shader", packed)), text);

    // A word larger than the text: still exactly the 1780 bytes the stream holds; a smaller
    // one cuts the text there.
    for (const auto& [word, length] : {std::pair{2000u, 1780u}, {1000u, 1000u}}) {
        SetWord(packed, word);
        EXPECT_EQ(Read(Write("word.shader", packed)), text.substr(0, length)) << word;
    }
    SetWord(packed, 0);
    HRESULT hr;
    EXPECT_EQ(Read(Write("zero.shader", packed), &hr), "");
    EXPECT_EQ(hr, S_OK);

    // Found by fuzzing ReadShaderFile: the buffer for the text was the size of the length
    // word, whatever the stream could hold, so a damaged word reserved gigabytes.
    SetWord(packed, 4070142625u);  // the word the fuzzer found
    const std::string path = Write("huge.shader", packed);
    char* read = nullptr;
    UINT length = 0;
    ASSERT_EQ(ReadShaderFile(path.c_str(), &read, &length), S_OK);
    EXPECT_EQ(std::string(read, length), text);
    // Deflate yields at most 1032 bytes a byte; the allocator rounds a block this large up to
    // whole pages (the damaged word alone would have asked for about 4 GB).
    EXPECT_LE(malloc_usable_size(read), 1032 * (packed.size() - 4) + 8192);
    free(read);

    // Bytes after the end of the stream are ignored.
    packed = Packed(text);
    packed.insert(packed.end(), {'j', 'u', 'n', 'k'});
    EXPECT_EQ(Read(Write("trailing.shader", packed)), text);
}

TEST_F(ShaderFileTest, MissingShortAndCorruptFilesFail) {
    const std::vector<uint8_t> packed = Packed(SourceText(1780));
    // A stream cut short, damaged deflate data and a checksum that does not match the text:
    // none hands on bytes that were never written.
    std::vector<uint8_t> truncated(packed.begin(), packed.begin() + packed.size() / 2), damaged = packed,
        badChecksum = packed;
    for (size_t i = 8; i < damaged.size(); i += 7) damaged[i] ^= 0x5A;
    badChecksum.back() ^= 0xFF;
    HRESULT hr;
    for (const auto& bytes : {std::vector<uint8_t>{}, std::vector<uint8_t>(3, 0x10), truncated, damaged, badChecksum}) {
        Read(Write("bad.shader", bytes), &hr);
        EXPECT_TRUE(FAILED(hr)) << bytes.size() << " bytes";
    }
    Read(dir / "missing.shader", &hr);
    EXPECT_TRUE(FAILED(hr));
}

}  // namespace
