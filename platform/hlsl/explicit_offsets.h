// Constant-buffer offsets that the source fixes by hand: `packoffset(cN.x)` on a cbuffer
// member and `register(cN)` on a global (which lands in the "$Global" block).
//
// glslang keeps such an offset only as a lower bound on the member's std140-style position
// and then computes every other member's offset itself, so after parsing an explicit offset
// cannot be told apart from a computed one. The Direct3D layout needs to know which is
// which, so the (preprocessed) source is scanned for them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace quarvel::hlsl {

// Block name -> member name -> byte offset. Globals are under "$Global", glslang's name for
// the block it gathers them in.
using ExplicitOffsets = std::map<std::string, std::map<std::string, uint32_t>>;

// True when `source` may hold an explicit offset, so the scan (and the preprocessing it
// needs) is skipped for the usual source that has none.
bool MayHaveExplicitOffsets(std::string_view source);

ExplicitOffsets ScanExplicitOffsets(std::string_view preprocessedSource);

}  // namespace quarvel::hlsl
