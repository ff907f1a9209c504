// A fresh folder under /tmp for one test, removed with everything in it at the end.
#pragma once

#include <string>

namespace quarvel::test {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
};

std::string ReadWholeFile(const std::string& path);

}  // namespace quarvel::test
