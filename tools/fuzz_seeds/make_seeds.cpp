// Seed inputs for the fuzz targets that only this system's own code can make from its real
// inputs (tests/fuzz/make_seeds.sh drives it):
//   make_seeds blobs <out-dir> <source> <entry> <target> [<entry> <target> ...]
//     D3DCompile of each entry point of an HLSL source: the code blobs the device reads.
//   make_seeds dialogs <out-dir> <image.res>
//     every dialog template in a compiled .res image, one file each.
#include <d3dcompiler.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
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
    std::vector<quarvel::platform::dialog::ResEntry> entries;
    if (!quarvel::platform::dialog::ParseResImage(reinterpret_cast<const uint8_t*>(image.data()), image.size(),
                                                  &entries)) {
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

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const int result = command == "blobs" ? Blobs(argc, argv) : command == "dialogs" ? Dialogs(argc, argv) : 2;
    if (result == 2) std::fprintf(stderr, "usage: make_seeds blobs|dialogs <out-dir> ...\n");
    return result;
}
