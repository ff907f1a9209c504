// Where each member of an HLSL constant buffer lies under Direct3D's packing rules and
// under GLSL std140, and the byte ranges that carry one layout into the other.
//
// Direct3D packs a cbuffer into 16-byte registers: a scalar or vector goes at the next
// 4-byte offset unless it would cross a register boundary; arrays, matrices and structs
// start a new register, step 16 bytes per element or matrix vector, and leave the rest
// of their last register to the member that follows. std140 instead aligns vec3/vec4 to 16,
// and rounds array, matrix and struct sizes up to whole registers, so the two disagree as
// soon as a member follows an array, a matrix or a struct, or a float3 follows a float.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shader_blob.h"

namespace quarvel::hlsl {

struct LayoutMember;

// The shape of a cbuffer member as the packing rules see it. Matrices are described by
// their memory layout: `vectorCount` contiguous vectors (the columns of a column-major
// matrix, the rows of a row-major one) of `vectorSize` components each.
struct LayoutType {
    uint32_t vectorSize = 1;   // components of a scalar or vector, 1 to 4
    uint32_t vectorCount = 1;  // 1 for scalars and vectors
    bool matrix = false;
    std::vector<uint32_t> arrayDims;     // outermost first; empty when not an array
    std::vector<LayoutMember> members;   // non-empty for structs
    bool IsStruct() const { return !members.empty(); }
};

struct LayoutMember {
    std::string name;
    LayoutType type;
    // Byte offset fixed by `packoffset` (or `register(cN)` on a global) in the source.
    std::optional<uint32_t> explicitOffset;
};

// Offsets of one member in both layouts, with the same nesting as its type.
struct MemberPlacement {
    uint32_t d3dOffset = 0;
    uint32_t glOffset = 0;
    std::vector<uint32_t> glArrayStrides;  // one per array dimension, outermost first
    std::vector<MemberPlacement> members;  // struct members, offsets relative to the struct
};

struct BlockLayout {
    std::vector<MemberPlacement> members;
    uint32_t d3dSize = 0;  // rounded up to 16
    uint32_t glSize = 0;   // rounded up to 16
    std::vector<CopyRange> repack;  // empty when every value sits at the same offset in both
};

// Lays out a block. Fails (false, with `error` naming the member) when explicit offsets
// overlap or put a vector across a register boundary, as the Direct3D compiler refuses.
bool LayOutBlock(const std::vector<LayoutMember>& members, BlockLayout& out, std::string& error);

}  // namespace quarvel::hlsl
