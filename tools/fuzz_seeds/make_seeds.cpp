// Seed inputs for the fuzz targets that only this system's own code can make from its real
// inputs (tests/fuzz/make_seeds.sh drives it):
//   make_seeds blobs <out-dir> <source> <entry> <target> [<entry> <target> ...]
//     D3DCompile of each entry point of an HLSL source: the code blobs the device reads.
//   make_seeds dialogs <out-dir> <image.res>
//     every dialog template in a compiled .res image, one file each.
//   make_seeds calls <out-dir>
//     buffer call sequences for fuzz_buffer_calls, in the operation codes it decodes: the
//     ordinary ways a program streams, updates, copies and reads buffers, and calls Direct3D
//     refuses.
#include <d3dcompiler.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "dialog/res_image.h"

namespace {

std::vector<char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "make_seeds: cannot read %s\n", path.c_str());
        std::exit(1);
    }
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) {
        std::fprintf(stderr, "make_seeds: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

int Blobs(int argc, char** argv) {
    if (argc < 6 || (argc - 4) % 2 != 0) return 2;
    const std::string outDir = argv[2], source = argv[3];
    const std::vector<char> text = ReadFile(source);
    for (int i = 4; i + 1 < argc; i += 2) {
        ID3DBlob* code = nullptr;
        ID3DBlob* errors = nullptr;
        const HRESULT hr = D3DCompile(text.data(), text.size(), source.c_str(), nullptr, nullptr, argv[i], argv[i + 1],
                                      D3DCOMPILE_ENABLE_STRICTNESS, 0, &code, &errors);
        if (errors) errors->Release();
        if (FAILED(hr) || !code) {
            std::fprintf(stderr, "make_seeds: %s %s %s does not compile\n", source.c_str(), argv[i], argv[i + 1]);
            return 1;
        }
        WriteFile(outDir + "/" + BaseName(source) + "-" + argv[i] + "-" + argv[i + 1], code->GetBufferPointer(),
                  code->GetBufferSize());
        code->Release();
    }
    return 0;
}

int Dialogs(int argc, char** argv) {
    if (argc != 4) return 2;
    const std::string outDir = argv[2];
    const std::vector<char> image = ReadFile(argv[3]);
    std::vector<quarvel::dialog::ResEntry> entries;
    if (!quarvel::dialog::ParseResImage(reinterpret_cast<const uint8_t*>(image.data()), image.size(), &entries)) {
        std::fprintf(stderr, "make_seeds: %s is not a .res image\n", argv[3]);
        return 1;
    }
    int written = 0;
    for (const auto& entry : entries) {
        if (!entry.type.isOrdinal || entry.type.ordinal != 5 /* RT_DIALOG */) continue;
        const std::string name = entry.name.isOrdinal ? std::to_string(entry.name.ordinal) : entry.name.text;
        WriteFile(outDir + "/" + BaseName(argv[3]) + "-dialog-" + name, entry.data, entry.size);
        ++written;
    }
    return written ? 0 : 1;
}

// fuzz_buffer_calls' operations and their argument bytes, in its order.
class Calls {
public:
    enum Usage { kDefault, kImmutable, kDynamic, kStaging };
    enum Bind { kVertex, kIndex, kConstant };
    enum Size { k16, k32, k48, k64, k1, k3, k4, k6, k17, k100, k256, k4096, k65536 };
    enum Edge { kZero, kOne, kHalf, kLast, kEnd };

    Calls& Create(int slot, Usage usage, Bind bind, Size size, bool data, uint8_t cpuChoice = 0) {
        return Put({0, uint8_t(slot), uint8_t(usage), uint8_t(bind), uint8_t(size), uint8_t(data | cpuChoice << 2),
                    uint8_t(7 + 16 * slot)});
    }
    Calls& Release(int slot) { return Put({2, uint8_t(slot)}); }
    // Map types as D3D11_MAP numbers; a write covers [from, to).
    Calls& Map(int slot, int type, Edge from = kZero, Edge to = kEnd, bool writes = false) {
        Put({3, uint8_t(slot), uint8_t(type), 2});
        return writes ? Put({uint8_t(from), uint8_t(to), uint8_t(slot * 16 + type)}) : *this;
    }
    Calls& Update(int slot, Edge left, Edge right) {
        return Put({5, uint8_t(slot), 1, 3, uint8_t(left), uint8_t(right)});
    }
    Calls& UpdateWhole(int slot, uint8_t seed) { return Put({5, uint8_t(slot), 0, seed}); }
    // Box kinds past the bytes: 2 empties the rows (or slices), 3 reaches past the one row.
    Calls& UpdateRows(int slot, int kind, bool slices) {
        return Put({5, uint8_t(slot), uint8_t(kind), 3, uint8_t(kZero), uint8_t(kEnd), uint8_t(!slices)});
    }
    Calls& MapNoWait(int slot, int type) { return Put({3, uint8_t(slot), uint8_t(type), 0}); }
    // The whole source at the destination's row 1 (`rowOne`) or slice 1.
    Calls& CopyToRowOrSlice(int dst, int src, bool rowOne) {
        return Put({6, uint8_t(dst), uint8_t(src), 0, uint8_t(rowOne ? 0 : 1), uint8_t(kZero)});
    }
    Calls& CopyRows(int dst, int src, int kind) {  // kind 2 or 3, as UpdateRows
        return Put({6, uint8_t(dst), uint8_t(src), uint8_t(kind), 2, uint8_t(kZero), uint8_t(kZero), uint8_t(kEnd), 1});
    }
    Calls& CopyRegion(int dst, int src, Edge x, Edge left, Edge right) {
        return Put({6, uint8_t(dst), uint8_t(src), 1, 2, uint8_t(x), uint8_t(left), uint8_t(right)});
    }
    Calls& Copy(int dst, int src) { return Put({7, uint8_t(dst), uint8_t(src)}); }
    Calls& Check(int slot) { return Put({8, uint8_t(slot)}); }
    Calls& BindConstants(int slot, int buffer) { return Put({9, 0, uint8_t(slot), uint8_t(buffer)}); }
    Calls& BindVertices(int buffer, int strideChoice, Edge offset) {
        return Put({9, 1, uint8_t(buffer), uint8_t(strideChoice), uint8_t(offset)});
    }
    Calls& BindIndices(int buffer, bool wide, Edge offset) {
        return Put({9, 2, uint8_t(buffer), wide, uint8_t(offset)});
    }
    Calls& Draw(int startChoice, bool indexed = false, int baseChoice = 0) {
        return Put({10, indexed, uint8_t(startChoice), uint8_t(baseChoice)});
    }
    Calls& CheckTarget() { return Put({11}); }
    void Write(const std::string& path) const { WriteFile(path, bytes_.data(), bytes_.size()); }

private:
    Calls& Put(std::initializer_list<uint8_t> values) {
        bytes_.insert(bytes_.end(), values);
        return *this;
    }
    std::vector<uint8_t> bytes_;
};

int CallSeeds(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string out = std::string(argv[2]) + "/";
    using C = Calls;
    C discards;
    discards.Create(0, C::kDynamic, C::kConstant, C::k16, true).Create(1, C::kDefault, C::kVertex, C::k64, true);
    discards.BindConstants(0, 0).BindVertices(1, 2, C::kZero);
    for (int i = 0; i < 4; ++i) discards.Map(0, 4, C::kZero, C::kEnd, true).Draw(i);
    discards.CheckTarget().Write(out + "discarding-maps-per-draw");

    C staging;
    staging.Create(0, C::kDefault, C::kVertex, C::k100, true).Create(1, C::kStaging, C::kVertex, C::k100, false, 2);
    staging.Copy(1, 0).Map(1, 3, C::kHalf, C::kEnd, true).Copy(0, 1).Check(0).Map(1, 1);
    staging.Write(out + "staging-round-trip");

    C copies;
    copies.Create(0, C::kDefault, C::kConstant, C::k256, true).Create(1, C::kDefault, C::kConstant, C::k256, false);
    copies.Update(0, C::kOne, C::kHalf).CopyRegion(1, 0, C::kHalf, C::kZero, C::kHalf).Copy(0, 1).Check(0).Check(1);
    copies.Write(out + "updates-and-copies");

    C indexed;
    indexed.Create(0, C::kDynamic, C::kIndex, C::k16, true).Create(1, C::kDynamic, C::kVertex, C::k256, true);
    indexed.BindIndices(0, false, C::kZero).BindVertices(1, 2, C::kZero);
    indexed.Draw(1, true).Map(1, 5, C::kHalf, C::kEnd, true).Draw(2, true, 1).Map(0, 4, C::kZero, C::kEnd, true);
    indexed.Draw(0, true).CheckTarget().Write(out + "indexed-draws");

    C stream;
    stream.Create(0, C::kDefault, C::kConstant, C::k65536, true).Create(1, C::kDefault, C::kConstant, C::k16, true);
    stream.BindConstants(1, 0).BindConstants(0, 1);
    for (int i = 0; i < 24; ++i) stream.UpdateWhole(0, uint8_t(i)).Draw(i % 8);
    stream.CheckTarget().Write(out + "large-constant-updates");

    C refused;
    refused.Create(0, C::kDefault, C::kVertex, C::k64, true).Create(1, C::kDynamic, C::kConstant, C::k17, false);
    refused.Create(2, C::kImmutable, C::kIndex, C::k32, false).Create(3, C::kDynamic, C::kVertex, C::k32, true);
    refused.Map(0, 1).Map(3, 1).Map(3, 2).Update(3, C::kZero, C::kEnd).Copy(0, 3).Copy(3, 3).Release(0).Check(3);
    refused.Write(out + "refused-calls");

    // Calls Direct3D refuses or leaves without effect for what lies outside a buffer's bytes:
    // maps that never wait with the streaming types, boxes with no rows or past the one row,
    // copies to other rows or slices and into an immutable buffer.
    C outside;
    outside.Create(0, C::kDefault, C::kConstant, C::k64, true).Create(1, C::kImmutable, C::kVertex, C::k64, true);
    outside.Create(2, C::kDynamic, C::kVertex, C::k16, true).Create(3, C::kDefault, C::kVertex, C::k64, true);
    outside.MapNoWait(2, 4).MapNoWait(2, 5).UpdateRows(0, 2, false).UpdateRows(0, 2, true).UpdateRows(0, 3, false);
    outside.CopyToRowOrSlice(0, 3, true).CopyToRowOrSlice(0, 3, false).CopyRows(0, 3, 2).CopyRows(0, 3, 3);
    outside.CopyToRowOrSlice(1, 3, true).CopyRows(1, 3, 3).Copy(1, 3).Check(0).Check(1).Check(2);
    outside.Write(out + "outside-the-bytes");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const int result = command == "blobs"     ? Blobs(argc, argv)
                       : command == "dialogs" ? Dialogs(argc, argv)
                       : command == "calls"   ? CallSeeds(argc, argv)
                                              : 2;
    if (result == 2) std::fprintf(stderr, "usage: make_seeds blobs|dialogs|calls <out-dir> ...\n");
    return result;
}
