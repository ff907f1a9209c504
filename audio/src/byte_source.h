// Where a stream's encoded bytes come from: a window of a file or of the caller's memory.
// The decoder reads through this so that offsets, lengths and memory streams need nothing
// from the codec itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace quarvel::audio {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes; 0 at the end of the window, -1 on a read error.
    virtual long Read(void* buffer, size_t size) = 0;
    // SEEK_SET, SEEK_CUR or SEEK_END within the window; the new offset, or -1.
    virtual int64_t Seek(int64_t offset, int whence) = 0;
};

// Bytes `offset` to `offset + length` of the file (length 0: to the end); null if the file
// cannot be opened.
std::unique_ptr<ByteSource> OpenFileSource(const char* path, uint64_t offset, uint64_t length);
// `length` bytes at `data`, which must outlive the source; not copied.
std::unique_ptr<ByteSource> OpenMemorySource(const void* data, uint64_t length);

}  // namespace quarvel::audio
