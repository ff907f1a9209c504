// Numbered PNG files and frames.tsv: sequence number, music time in ms, loop or startup.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <zlib.h>

#include "frame_sink.h"

// zlib at a low level is several times faster than stb's own deflate and still small.
static unsigned char* CompressForPng(unsigned char* data, int length, int* outLength, int quality);
#define STBIW_ZLIB_COMPRESS CompressForPng
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

static unsigned char* CompressForPng(unsigned char* data, int length, int* outLength, int quality) {
    (void)quality;
    uLongf size = compressBound(static_cast<uLong>(length));
    auto* out = static_cast<unsigned char*>(STBIW_MALLOC(size));
    if (!out) return nullptr;
    if (compress2(out, &size, data, static_cast<uLong>(length), 3) != Z_OK) {
        STBIW_FREE(out);
        return nullptr;
    }
    *outLength = static_cast<int>(size);
    return out;
}

namespace quarvel::record {
namespace {

bool MakeFolders(const std::string& path, std::string& error) {
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (!prefix.empty() && mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
            error = "cannot create " + prefix + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos) break;
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = path + " is not a folder";
        return false;
    }
    return true;
}

// Frames of an earlier, longer run would read as part of this one.
void RemoveOldFrames(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        bool frame = std::strlen(name) == 9 && std::strcmp(name + 5, ".png") == 0;
        for (int i = 0; frame && i < 5; ++i) frame = name[i] >= '0' && name[i] <= '9';
        if (frame) unlink((folder + "/" + name).c_str());
    }
    closedir(dir);
}

class FolderSink final : public FrameSink {
public:
    FolderSink(std::string folder, FILE* index) : folder_(std::move(folder)), index_(index) {}
    ~FolderSink() override {
        if (index_) std::fclose(index_);
    }

    bool Write(const Frame& frame, std::string& error) override {
        if (failed_) return false;
        char name[32];
        std::snprintf(name, sizeof name, "%05llu", static_cast<unsigned long long>(frame.sequence));
        const std::string path = folder_ + "/" + name + ".png";
        if (!stbi_write_png(path.c_str(), static_cast<int>(frame.width), static_cast<int>(frame.height), 3, frame.rgb,
                            static_cast<int>(frame.width * 3))) {
            error = "cannot write " + path;
            failed_ = true;
            return false;
        }
        std::fprintf(index_, "%s\t%u\t%s\n", name, frame.musicMs, frame.loop ? "loop" : "startup");
        if (std::fflush(index_) != 0) {
            error = "cannot write " + folder_ + "/frames.tsv";
            failed_ = true;
        }
        return !failed_;
    }

    bool Close(std::string& error) override {
        if (!index_) return !failed_;
        const bool closed = std::fclose(index_) == 0;
        index_ = nullptr;
        if (!closed && !failed_) error = "cannot write " + folder_ + "/frames.tsv";
        return closed && !failed_;
    }

private:
    std::string folder_;
    FILE* index_;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<FrameSink> OpenFolderSink(const std::string& folder, std::string& error) {
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (!MakeFolders(path, error)) return nullptr;
    RemoveOldFrames(path);
    FILE* index = std::fopen((path + "/frames.tsv").c_str(), "w");
    if (!index) {
        error = "cannot write " + path + "/frames.tsv: " + std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<FolderSink>(path, index);
}

}  // namespace quarvel::record
