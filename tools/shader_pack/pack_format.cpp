#include "pack_format.h"

#include <zlib.h>

namespace quarvel::shader_pack {

bool PackShaderText(const std::string& text, int level, std::vector<uint8_t>& packed, std::string& error) {
    // Also keeps compressBound from overflowing where uLong is 32 bits.
    if (text.size() > 0x7FFFFFFFu) {
        error = "source is too large for a .shader file";
        return false;
    }
    const uint32_t length = static_cast<uint32_t>(text.size());
    uLongf compressedSize = compressBound(static_cast<uLong>(length));
    packed.assign(4 + compressedSize, 0);
    packed[0] = static_cast<uint8_t>(length);
    packed[1] = static_cast<uint8_t>(length >> 8);
    packed[2] = static_cast<uint8_t>(length >> 16);
    packed[3] = static_cast<uint8_t>(length >> 24);
    const int result = compress2(packed.data() + 4, &compressedSize, reinterpret_cast<const Bytef*>(text.data()),
                                 static_cast<uLong>(length), level);
    if (result != Z_OK) {
        error = std::string("zlib failed: ") + zError(result);
        packed.clear();
        return false;
    }
    packed.resize(4 + compressedSize);
    return true;
}

}  // namespace quarvel::shader_pack
