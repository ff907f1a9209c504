#include "byte_source.h"

#include <cstdio>
#include <cstring>

#include <sys/stat.h>

namespace quarvel::audio {
namespace {

// Clamps a requested position to [0, size]; -1 for an unknown origin.
int64_t Reposition(int64_t current, int64_t size, int64_t offset, int whence) {
    int64_t base = 0;
    switch (whence) {
        case SEEK_SET: base = 0; break;
        case SEEK_CUR: base = current; break;
        case SEEK_END: base = size; break;
        default: return -1;
    }
    int64_t target = base + offset;
    if (target < 0) return -1;
    return target > size ? size : target;
}

class FileSource : public ByteSource {
public:
    FileSource(FILE* file, int64_t start, int64_t size) : file_(file), start_(start), size_(size) {}
    ~FileSource() override { std::fclose(file_); }

    long Read(void* buffer, size_t size) override {
        int64_t left = size_ - position_;
        if (left <= 0) return 0;
        if (static_cast<int64_t>(size) > left) size = static_cast<size_t>(left);
        if (fseeko(file_, static_cast<off_t>(start_ + position_), SEEK_SET) != 0) return -1;
        size_t got = std::fread(buffer, 1, size, file_);
        if (got == 0 && std::ferror(file_)) return -1;
        position_ += static_cast<int64_t>(got);
        return static_cast<long>(got);
    }

    int64_t Seek(int64_t offset, int whence) override {
        int64_t target = Reposition(position_, size_, offset, whence);
        if (target >= 0) position_ = target;
        return target;
    }

private:
    FILE* file_;
    int64_t start_;
    int64_t size_;
    int64_t position_ = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const unsigned char* data, int64_t size) : data_(data), size_(size) {}

    long Read(void* buffer, size_t size) override {
        int64_t left = size_ - position_;
        if (left <= 0) return 0;
        if (static_cast<int64_t>(size) > left) size = static_cast<size_t>(left);
        std::memcpy(buffer, data_ + position_, size);
        position_ += static_cast<int64_t>(size);
        return static_cast<long>(size);
    }

    int64_t Seek(int64_t offset, int whence) override {
        int64_t target = Reposition(position_, size_, offset, whence);
        if (target >= 0) position_ = target;
        return target;
    }

private:
    const unsigned char* data_;
    int64_t size_;
    int64_t position_ = 0;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileSource(const char* path, uint64_t offset, uint64_t length) {
    if (path == nullptr) return nullptr;
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return nullptr;
    // A folder opens for reading here but is no file to play.
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    if (fseeko(file, 0, SEEK_END) != 0) {
        std::fclose(file);
        return nullptr;
    }
    auto fileSize = static_cast<uint64_t>(ftello(file));
    // A window past the end is simply empty; the decoder then finds nothing to decode.
    uint64_t start = offset < fileSize ? offset : fileSize;
    uint64_t size = fileSize - start;
    if (length != 0 && length < size) size = length;
    return std::make_unique<FileSource>(file, static_cast<int64_t>(start), static_cast<int64_t>(size));
}

std::unique_ptr<ByteSource> OpenMemorySource(const void* data, uint64_t length) {
    if (data == nullptr || length == 0 || length > static_cast<uint64_t>(INT64_MAX)) return nullptr;
    return std::make_unique<MemorySource>(static_cast<const unsigned char*>(data),
                                          static_cast<int64_t>(length));
}

}  // namespace quarvel::audio
