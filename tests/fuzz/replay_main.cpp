// The fuzz targets outside libFuzzer: every build feeds each file of a target's corpus folder
// to it once, so the corpora are replayed by the ordinary test run, whatever the compiler.
#include <dirent.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    DIR* dir = opendir(argv[1]);
    if (!dir) {
        std::fprintf(stderr, "%s: no corpus folder %s\n", argv[0], argv[1]);
        return 1;
    }
    int inputs = 0;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream file(std::string(argv[1]) + "/" + entry->d_name, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++inputs;
    }
    closedir(dir);
    std::printf("replayed %d inputs\n", inputs);
    return inputs > 0 ? 0 : 1;
}
