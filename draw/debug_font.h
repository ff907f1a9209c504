// The font that debug builds put into slot 3, baked at build time into Data/DebugFont.bin:
// the 96 glyph records of codes 32 to 127, then the 2048 x 2048 atlas as a grey PNG (the
// texture loader turns grey into equal r, g, b, so the red channel carries the coverage).
#pragma once

struct FontSlot;

constexpr const char* kDebugFontPath = "Data/DebugFont.bin";
constexpr int kFontAtlasSize = 2048;

// Replaces the slot's glyphs and atlas view with the file's. False, with the slot left as it
// was, when the file is missing, too short or its atlas does not decode.
bool LoadFontFile(const char* path, FontSlot& slot);
