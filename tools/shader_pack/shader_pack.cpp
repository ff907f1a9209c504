// quarvel_shader_pack SOURCE OUTPUT: packs an HLSL source into a .shader file. The output
// is written beside itself under a temporary name and renamed, so an interrupted build never
// leaves a half-written file that looks up to date.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <zlib.h>

#include "pack_format.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE OUTPUT\n", argv[0]);
        return 2;
    }
    const std::string sourcePath = argv[1];
    const std::string outputPath = argv[2];

    std::ifstream source(sourcePath, std::ios::binary);
    if (!source) {
        std::fprintf(stderr, "shader_pack: cannot open %s\n", sourcePath.c_str());
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
    if (source.bad()) {
        std::fprintf(stderr, "shader_pack: cannot read %s\n", sourcePath.c_str());
        return 1;
    }

    std::vector<uint8_t> packed;
    std::string error;
    if (!quarvel::shader_pack::PackShaderText(text, Z_BEST_COMPRESSION, packed, error)) {
        std::fprintf(stderr, "shader_pack: %s: %s\n", sourcePath.c_str(), error.c_str());
        return 1;
    }

    const std::string temporaryPath = outputPath + ".tmp";
    {
        std::ofstream output(temporaryPath, std::ios::binary | std::ios::trunc);
        output.write(reinterpret_cast<const char*>(packed.data()), static_cast<std::streamsize>(packed.size()));
        output.close();
        if (!output) {
            std::fprintf(stderr, "shader_pack: cannot write %s\n", temporaryPath.c_str());
            std::remove(temporaryPath.c_str());
            return 1;
        }
    }
    if (std::rename(temporaryPath.c_str(), outputPath.c_str()) != 0) {
        std::fprintf(stderr, "shader_pack: cannot replace %s\n", outputPath.c_str());
        std::remove(temporaryPath.c_str());
        return 1;
    }
    return 0;
}
