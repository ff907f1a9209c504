#include "scratch.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace quarvel::test {

ScratchFolder::ScratchFolder() {
    char pattern[] = "/tmp/quarvel_test_XXXXXX";
    if (mkdtemp(pattern)) path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WriteWholeFile(const std::string& path, const void* data, size_t size) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = size == 0 || fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && written;
}

// A failed change of folder would leave the code under test reading the wrong files.
InFolder::InFolder(const std::string& path) : previous_(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (previous_ < 0 || chdir(path.c_str()) != 0) abort();
}

InFolder::~InFolder() {
    if (fchdir(previous_) != 0) abort();
    close(previous_);
}

}  // namespace quarvel::test
