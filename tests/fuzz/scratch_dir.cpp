#include "scratch_dir.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace fuzz {
namespace {

std::vector<std::string> written;

void Fail(const std::string& what) {
    perror(what.c_str());
    abort();
}

const std::string& Scratch();

void RemoveScratch() {
    for (const std::string& path : written) unlink(path.c_str());
    rmdir((Scratch() + "/Data").c_str());
    rmdir(Scratch().c_str());
}

const std::string& Scratch() {
    static const std::string scratch = [] {
        const char* base = getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/quarvel-fuzz-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!mkdtemp(name.data())) Fail("mkdtemp");
        const std::string made = name.data();
        if (mkdir((made + "/Data").c_str(), 0700) != 0) Fail(made + "/Data");
        return made;
    }();
    static const bool removeAtExit = atexit(RemoveScratch) == 0;
    (void)removeAtExit;
    return scratch;
}

}  // namespace

std::string ScratchPath(const char* relative) { return Scratch() + "/" + relative; }

void WriteScratchFile(const char* relative, const uint8_t* data, size_t size) {
    const std::string path = ScratchPath(relative);
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) Fail(path);
    const bool ok = (size == 0 || fwrite(data, 1, size, file) == size);
    if (fclose(file) != 0 || !ok) Fail(path);
    for (const std::string& known : written) {
        if (known == path) return;
    }
    written.push_back(path);
}

InScratchDirectory::InScratchDirectory() : previous_(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (previous_ < 0 || chdir(Scratch().c_str()) != 0) Fail(Scratch());
}

InScratchDirectory::~InScratchDirectory() {
    if (fchdir(previous_) != 0) Fail("fchdir");
    close(previous_);
}

}  // namespace fuzz
