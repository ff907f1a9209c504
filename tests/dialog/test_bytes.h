// Building dialog templates and .res images byte by byte, and holding bytes so that any
// read past their end faults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dialog_test {

// Little-endian writer with the template encodings: UTF-16 strings, sz_Or_Ord fields.
class Bytes {
public:
    Bytes& Byte(uint8_t value) { return data_.push_back(value), *this; }
    Bytes& Word(uint16_t value) { return Byte(uint8_t(value)).Byte(uint8_t(value >> 8)); }
    Bytes& Dword(uint32_t value) { return Word(uint16_t(value)).Word(uint16_t(value >> 16)); }
    Bytes& String(const std::string& ascii) {  // zero-terminated UTF-16
        for (char c : ascii) Word(uint8_t(c));
        return Word(0);
    }
    Bytes& Ordinal(uint16_t value) { return Word(0xFFFF).Word(value); }
    Bytes& Align4() { return data_.resize((data_.size() + 3) / 4 * 4), *this; }
    const std::vector<uint8_t>& data() const { return data_; }
    size_t size() const { return data_.size(); }

private:
    std::vector<uint8_t> data_;
};

struct ItemSpec {
    uint32_t style;
    int16_t x, y, cx, cy;
    int32_t id;
    uint16_t classOrdinal;  // 0x0080 button, 0x0082 static, 0x0085 combo box
    std::string text;
};

// A DLGTEMPLATEEX with the font block (DS_SETFONT is added to `style`).
std::vector<uint8_t> ExtendedTemplate(uint32_t style, int16_t cx, int16_t cy, const std::string& title,
                                      const std::vector<ItemSpec>& items);

// A .res image holding one RT_DIALOG resource with the ordinal name `name`, after the
// empty entry that starts every .res file.
std::vector<uint8_t> ResImageWithDialog(uint16_t name, const std::vector<uint8_t>& dialogTemplate);

// A copy of some bytes that ends exactly where an inaccessible page begins: reading one byte
// too many crashes the test instead of passing unnoticed.
class GuardedBytes {
public:
    GuardedBytes(const uint8_t* data, size_t size);
    ~GuardedBytes();
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    const uint8_t* data() const { return start_; }
    size_t size() const { return size_; }

private:
    uint8_t* mapping_ = nullptr;
    size_t mappingSize_ = 0;
    uint8_t* start_ = nullptr;
    size_t size_ = 0;
};

}  // namespace dialog_test
