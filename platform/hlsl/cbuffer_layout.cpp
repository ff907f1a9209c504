#include "cbuffer_layout.h"

#include <algorithm>

namespace quarvel::hlsl {
namespace {

constexpr uint32_t kRegister = 16;

uint32_t RoundUp(uint32_t v, uint32_t a) { return (v + a - 1) / a * a; }

// `dim` counts the array dimensions already stepped into: (t, dim) is the element type
// of t's first `dim` dimensions.
bool IsArray(const LayoutType& t, size_t dim) { return dim < t.arrayDims.size(); }

bool StartsRegister(const LayoutType& t) { return !t.arrayDims.empty() || t.matrix || t.IsStruct(); }

uint32_t D3DSize(const LayoutType& t, size_t dim);
uint32_t GlSize(const LayoutType& t, size_t dim);
uint32_t GlAlign(const LayoutType& t, size_t dim);

// Direct3D offset of the next member after `end` bytes are taken, for a member without an
// explicit offset.
uint32_t D3DPlace(uint32_t end, const LayoutType& t, uint32_t size) {
    if (StartsRegister(t)) return RoundUp(end, kRegister);
    if (end % kRegister + size > kRegister) return RoundUp(end, kRegister);
    return end;
}

uint32_t D3DStructSize(const std::vector<LayoutMember>& members) {
    uint32_t end = 0;
    for (const LayoutMember& m : members) {
        const uint32_t size = D3DSize(m.type, 0);
        end = D3DPlace(end, m.type, size) + size;
    }
    return end;
}

uint32_t D3DSize(const LayoutType& t, size_t dim) {
    if (IsArray(t, dim)) {
        const uint32_t element = D3DSize(t, dim + 1);
        return RoundUp(element, kRegister) * (t.arrayDims[dim] - 1) + element;
    }
    if (t.IsStruct()) return D3DStructSize(t.members);
    if (t.matrix) return kRegister * (t.vectorCount - 1) + 4 * t.vectorSize;
    return 4 * t.vectorSize;
}

uint32_t D3DStride(const LayoutType& t, size_t dim) { return RoundUp(D3DSize(t, dim + 1), kRegister); }

uint32_t GlStructAlign(const std::vector<LayoutMember>& members) {
    uint32_t align = 4;
    for (const LayoutMember& m : members) align = std::max(align, GlAlign(m.type, 0));
    return RoundUp(align, kRegister);
}

uint32_t GlAlign(const LayoutType& t, size_t dim) {
    if (IsArray(t, dim)) return RoundUp(GlAlign(t, dim + 1), kRegister);
    if (t.IsStruct()) return GlStructAlign(t.members);
    if (t.matrix) return kRegister;
    return t.vectorSize == 1 ? 4 : t.vectorSize == 2 ? 8 : 16;
}

uint32_t GlStride(const LayoutType& t, size_t dim) { return RoundUp(GlSize(t, dim + 1), GlAlign(t, dim)); }

uint32_t GlSize(const LayoutType& t, size_t dim) {
    if (IsArray(t, dim)) return GlStride(t, dim) * t.arrayDims[dim];
    if (t.IsStruct()) {
        uint32_t end = 0;
        for (const LayoutMember& m : t.members) end = RoundUp(end, GlAlign(m.type, 0)) + GlSize(m.type, 0);
        return RoundUp(end, GlStructAlign(t.members));
    }
    if (t.matrix) return kRegister * t.vectorCount;
    return 4 * t.vectorSize;
}

// Places the members of a block or struct. Explicit offsets only occur at the top level.
bool Place(const std::vector<LayoutMember>& members, std::vector<MemberPlacement>& out, uint32_t& d3dEnd,
           uint32_t& glEnd, std::string& error) {
    uint32_t d3d = 0, gl = 0;
    d3dEnd = glEnd = 0;
    out.clear();
    for (const LayoutMember& m : members) {
        MemberPlacement p;
        const uint32_t size = D3DSize(m.type, 0);
        if (m.explicitOffset) {
            d3d = *m.explicitOffset;
            const bool straddles = d3d % kRegister + size > kRegister;
            if (d3d % 4 != 0 || (StartsRegister(m.type) ? d3d % kRegister != 0 : straddles)) {
                error = "packoffset of '" + m.name + "' does not start it where its type can begin";
                return false;
            }
        } else {
            d3d = D3DPlace(d3d, m.type, size);
        }
        p.d3dOffset = d3d;
        d3d += size;
        d3dEnd = std::max(d3dEnd, d3d);

        gl = RoundUp(gl, GlAlign(m.type, 0));
        p.glOffset = gl;
        gl += GlSize(m.type, 0);
        glEnd = gl;

        for (size_t dim = 0; dim < m.type.arrayDims.size(); ++dim) p.glArrayStrides.push_back(GlStride(m.type, dim));
        if (m.type.IsStruct()) {
            uint32_t innerD3d = 0, innerGl = 0;
            if (!Place(m.type.members, p.members, innerD3d, innerGl, error)) return false;
        }
        out.push_back(std::move(p));
    }
    return true;
}

void CollectRanges(const LayoutType& t, size_t dim, const MemberPlacement& p, uint32_t d3d, uint32_t gl,
                   std::vector<CopyRange>& out) {
    if (IsArray(t, dim)) {
        const uint32_t d3dStride = D3DStride(t, dim), glStride = p.glArrayStrides[dim];
        for (uint32_t k = 0; k < t.arrayDims[dim]; ++k)
            CollectRanges(t, dim + 1, p, d3d + k * d3dStride, gl + k * glStride, out);
    } else if (t.IsStruct()) {
        for (size_t i = 0; i < t.members.size(); ++i)
            CollectRanges(t.members[i].type, 0, p.members[i], d3d + p.members[i].d3dOffset,
                          gl + p.members[i].glOffset, out);
    } else {
        for (uint32_t v = 0; v < t.vectorCount; ++v)
            out.push_back({d3d + v * kRegister, gl + v * kRegister, 4 * t.vectorSize});
    }
}

}  // namespace

bool LayOutBlock(const std::vector<LayoutMember>& members, BlockLayout& out, std::string& error) {
    BlockLayout layout;
    uint32_t d3dEnd = 0, glEnd = 0;
    if (!Place(members, layout.members, d3dEnd, glEnd, error)) return false;
    layout.d3dSize = RoundUp(d3dEnd, kRegister);
    layout.glSize = RoundUp(glEnd, kRegister);

    std::vector<CopyRange> leaves;
    for (size_t i = 0; i < members.size(); ++i)
        CollectRanges(members[i].type, 0, layout.members[i], layout.members[i].d3dOffset, layout.members[i].glOffset,
                      leaves);

    // Explicit offsets can make two members share bytes; Direct3D rejects that.
    std::vector<CopyRange> byD3d = leaves;
    std::sort(byD3d.begin(), byD3d.end(), [](const CopyRange& a, const CopyRange& b) { return a.d3dOffset < b.d3dOffset; });
    for (size_t i = 1; i < byD3d.size(); ++i) {
        if (byD3d[i - 1].d3dOffset + byD3d[i - 1].size > byD3d[i].d3dOffset) {
            error = "packoffset makes members overlap at byte " + std::to_string(byD3d[i].d3dOffset);
            return false;
        }
    }

    const bool same = std::all_of(leaves.begin(), leaves.end(),
                                  [](const CopyRange& r) { return r.d3dOffset == r.glOffset; });
    if (!same) {
        for (const CopyRange& r : leaves) {
            CopyRange* last = layout.repack.empty() ? nullptr : &layout.repack.back();
            if (last && last->d3dOffset + last->size == r.d3dOffset && last->glOffset + last->size == r.glOffset)
                last->size += r.size;
            else
                layout.repack.push_back(r);
        }
    }
    out = std::move(layout);
    return true;
}

}  // namespace quarvel::hlsl
