// Bounds-checked reading of the little-endian records that resource images and dialog
// templates are made of. Every read checks what is left first, so a parser built on it
// never touches a byte past the end of its buffer, whatever the buffer holds; a failed read
// leaves the reader failed and every later read fails too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quarvel::dialog {

// A resource or class name as templates and .res images store them: either an ordinal
// (0xFFFF then a WORD) or a zero-terminated UTF-16 string, kept here as UTF-8.
struct NameOrOrdinal {
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::string text;
    bool empty() const { return !isOrdinal && text.empty(); }
};

// Appends the UTF-8 form of one code point; unpaired surrogates become U+FFFD.
void AppendUtf8(std::string* out, uint32_t codePoint);

class WireReader {
public:
    WireReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t offset() const { return offset_; }
    size_t remaining() const { return ok_ ? size_ - offset_ : 0; }

    bool Byte(uint8_t* out);
    bool Word(uint16_t* out);
    bool Short(int16_t* out);
    bool Dword(uint32_t* out);
    bool Skip(size_t count);
    // Moves to the next multiple of `alignment` (a power of two) from the buffer's start;
    // fails when that lies past the end.
    bool Align(size_t alignment);
    // A zero-terminated UTF-16 string; fails when the terminator is missing.
    bool String(std::string* out);
    // 0x0000 (nothing), 0xFFFF + WORD (ordinal), or a string.
    bool NameOrOrdinalField(NameOrOrdinal* out);

private:
    bool Fail() {
        ok_ = false;
        return false;
    }
    const uint8_t* data_;
    size_t size_;
    size_t offset_ = 0;
    bool ok_ = true;
};

}  // namespace quarvel::dialog
