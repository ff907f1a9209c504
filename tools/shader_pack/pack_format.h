// The .shader format: the source text's length as a little-endian 32-bit word, then the
// zlib (RFC 1950) compression of the text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quarvel::shader_pack {

// False when the text is too long for the length word or zlib fails; `error` says why.
bool PackShaderText(const std::string& text, int level, std::vector<uint8_t>& packed, std::string& error);

}  // namespace quarvel::shader_pack
