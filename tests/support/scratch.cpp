#include "scratch.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>

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
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace quarvel::test
