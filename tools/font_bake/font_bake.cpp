// Bakes glyphs 32..127 of a TrueType font into the debug font file that draw/debug_font.h
// reads: 96 glyph records of 20 bytes (little-endian), then the coverage atlas as a
// 2048 x 2048 grey PNG.
//
//   font_bake <font.ttf> <out file> <pixel height>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include <stb_image_write.h>
#include <stb_truetype.h>

namespace {

constexpr int kAtlasSize = 2048;
constexpr int kFirstCode = 32;
constexpr int kGlyphCount = 96;

// stbtt_bakedchar is the glyph record's layout already; spelled out so the file does not
// depend on the library's struct.
#pragma pack(push, 1)
struct GlyphRecord {
    unsigned short x0, y0, x1, y1;
    float xoff, yoff, xadvance;
};
#pragma pack(pop)
static_assert(sizeof(GlyphRecord) == 20, "glyph records are 20 bytes");

bool ReadFile(const char* path, std::vector<unsigned char>& bytes) {
    FILE* file = fopen(path, "rb");
    if (!file) return false;
    fseek(file, 0, SEEK_END);
    const long size = ftell(file);
    fseek(file, 0, SEEK_SET);
    if (size <= 0) {
        fclose(file);
        return false;
    }
    bytes.resize((size_t)size);
    const bool ok = fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    fclose(file);
    return ok;
}

void AppendToVector(void* context, void* data, int size) {
    std::vector<unsigned char>& out = *(std::vector<unsigned char>*)context;
    out.insert(out.end(), (unsigned char*)data, (unsigned char*)data + size);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: %s <font.ttf> <out file> <pixel height>\n", argv[0]);
        return 2;
    }
    const float pixelHeight = (float)atof(argv[3]);
    std::vector<unsigned char> font;
    if (!ReadFile(argv[1], font)) {
        fprintf(stderr, "font_bake: cannot read %s\n", argv[1]);
        return 1;
    }

    std::vector<unsigned char> atlas((size_t)kAtlasSize * kAtlasSize);
    stbtt_bakedchar baked[kGlyphCount];
    const int fit = stbtt_BakeFontBitmap(font.data(), 0, pixelHeight, atlas.data(), kAtlasSize, kAtlasSize,
                                         kFirstCode, kGlyphCount, baked);
    // A negative result is the number of glyphs that did fit.
    if (fit <= 0) {
        fprintf(stderr, "font_bake: %s does not fit a %d x %d atlas at %g pixels\n", argv[1], kAtlasSize,
                kAtlasSize, pixelHeight);
        return 1;
    }

    std::vector<unsigned char> out;
    for (int i = 0; i < kGlyphCount; ++i) {
        const GlyphRecord record = {baked[i].x0,   baked[i].y0,   baked[i].x1,      baked[i].y1,
                                    baked[i].xoff, baked[i].yoff, baked[i].xadvance};
        const unsigned char* bytes = (const unsigned char*)&record;
        out.insert(out.end(), bytes, bytes + sizeof(record));
    }
    if (!stbi_write_png_to_func(AppendToVector, &out, kAtlasSize, kAtlasSize, 1, atlas.data(), kAtlasSize)) {
        fprintf(stderr, "font_bake: PNG encoding failed\n");
        return 1;
    }

    FILE* file = fopen(argv[2], "wb");
    if (!file || fwrite(out.data(), 1, out.size(), file) != out.size()) {
        fprintf(stderr, "font_bake: cannot write %s\n", argv[2]);
        if (file) fclose(file);
        return 1;
    }
    fclose(file);
    return 0;
}
