#include "wire_reader.h"

namespace quarvel::dialog {

void AppendUtf8(std::string* out, uint32_t cp) {
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = 0xFFFD;
    if (cp < 0x80) {
        out->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool WireReader::Byte(uint8_t* out) {
    if (remaining() < 1) return Fail();
    *out = data_[offset_++];
    return true;
}

bool WireReader::Word(uint16_t* out) {
    if (remaining() < 2) return Fail();
    *out = static_cast<uint16_t>(data_[offset_] | (data_[offset_ + 1] << 8));
    offset_ += 2;
    return true;
}

bool WireReader::Short(int16_t* out) {
    uint16_t word = 0;
    if (!Word(&word)) return false;
    *out = static_cast<int16_t>(word);
    return true;
}

bool WireReader::Dword(uint32_t* out) {
    if (remaining() < 4) return Fail();
    *out = static_cast<uint32_t>(data_[offset_]) | (static_cast<uint32_t>(data_[offset_ + 1]) << 8) |
           (static_cast<uint32_t>(data_[offset_ + 2]) << 16) | (static_cast<uint32_t>(data_[offset_ + 3]) << 24);
    offset_ += 4;
    return true;
}

bool WireReader::Skip(size_t count) {
    if (remaining() < count) return Fail();
    offset_ += count;
    return true;
}

bool WireReader::Align(size_t alignment) {
    if (!ok_) return false;
    size_t padding = (alignment - (offset_ & (alignment - 1))) & (alignment - 1);
    return Skip(padding);
}

bool WireReader::String(std::string* out) {
    out->clear();
    for (;;) {
        uint16_t unit = 0;
        if (!Word(&unit)) return false;
        if (unit == 0) return true;
        uint32_t cp = unit;
        if (unit >= 0xD800 && unit <= 0xDBFF && remaining() >= 2) {
            uint16_t low = static_cast<uint16_t>(data_[offset_] | (data_[offset_ + 1] << 8));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                offset_ += 2;
                cp = 0x10000 + ((unit - 0xD800u) << 10) + (low - 0xDC00u);
            }
        }
        AppendUtf8(out, cp);
    }
}

bool WireReader::NameOrOrdinalField(NameOrOrdinal* out) {
    *out = NameOrOrdinal{};
    if (remaining() < 2) return Fail();
    uint16_t first = static_cast<uint16_t>(data_[offset_] | (data_[offset_ + 1] << 8));
    if (first == 0x0000) {
        offset_ += 2;
        return true;
    }
    if (first == 0xFFFF) {
        offset_ += 2;
        out->isOrdinal = true;
        return Word(&out->ordinal);
    }
    return String(&out->text);
}

}  // namespace quarvel::dialog
