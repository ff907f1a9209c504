// For loaders that read a fixed path: a directory of the fuzz target's own under the system's
// temporary folder (with a Data/ folder inside), removed again when the fuzzer exits normally.
// The fuzzer's working directory stays as it was, so relative corpus paths keep working.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Absolute path of `relative` inside the scratch directory, which is made on first use.
std::string ScratchPath(const char* relative);

// Writes `size` bytes to `relative` inside the scratch directory, replacing the file.
void WriteScratchFile(const char* relative, const uint8_t* data, size_t size);

// Makes the scratch directory the working directory while it lives.
class InScratchDirectory {
public:
    InScratchDirectory();
    ~InScratchDirectory();
    InScratchDirectory(const InScratchDirectory&) = delete;
    InScratchDirectory& operator=(const InScratchDirectory&) = delete;

private:
    int previous_;
};

}  // namespace fuzz
