// A fresh folder under /tmp for one test (or one fuzzing run), removed with everything in it
// at the end, and the few file operations the tests make in one.
#pragma once

#include <cstddef>
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
// Writes `size` bytes to `path`, replacing the file; false when that fails.
bool WriteWholeFile(const std::string& path, const void* data, size_t size);

// Makes a folder the working directory while it lives (for code that reads fixed relative
// paths such as Data/overheadpylon.vbo).
class InFolder {
public:
    explicit InFolder(const std::string& path);
    ~InFolder();
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    int previous_;
};

}  // namespace quarvel::test
