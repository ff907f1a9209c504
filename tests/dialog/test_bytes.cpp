#include "test_bytes.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace dialog_test {

std::vector<uint8_t> ExtendedTemplate(uint32_t style, int16_t cx, int16_t cy, const std::string& title,
                                      const std::vector<ItemSpec>& items) {
    Bytes b;
    b.Word(1).Word(0xFFFF).Dword(0).Dword(0).Dword(style | 0x40 /* DS_SETFONT */);
    b.Word(static_cast<uint16_t>(items.size())).Word(0).Word(0);
    b.Word(static_cast<uint16_t>(cx)).Word(static_cast<uint16_t>(cy));
    b.Word(0).Word(0).String(title);
    b.Word(8).Word(400).Byte(0).Byte(1).String("Tahoma");
    for (const ItemSpec& item : items) {
        b.Align4();
        b.Dword(0).Dword(0).Dword(item.style);
        b.Word(static_cast<uint16_t>(item.x)).Word(static_cast<uint16_t>(item.y));
        b.Word(static_cast<uint16_t>(item.cx)).Word(static_cast<uint16_t>(item.cy));
        b.Dword(static_cast<uint32_t>(item.id)).Ordinal(item.classOrdinal).String(item.text).Word(0);
    }
    return b.data();
}

std::vector<uint8_t> ResImageWithDialog(uint16_t name, const std::vector<uint8_t>& dialogTemplate) {
    Bytes b;
    // The empty entry: no data, 32-byte header, type and name ordinal 0.
    b.Dword(0).Dword(32).Ordinal(0).Ordinal(0).Dword(0).Word(0).Word(0).Dword(0).Dword(0);
    b.Dword(static_cast<uint32_t>(dialogTemplate.size())).Dword(32).Ordinal(5).Ordinal(name);
    b.Dword(0).Word(0x1030).Word(0x0409).Dword(0).Dword(0);
    std::vector<uint8_t> image = b.data();
    image.insert(image.end(), dialogTemplate.begin(), dialogTemplate.end());
    while (image.size() % 4) image.push_back(0);
    return image;
}

GuardedBytes::GuardedBytes(const uint8_t* data, size_t size) : size_(size) {
    size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    size_t dataPages = (size + page - 1) / page;
    mappingSize_ = (dataPages + 1) * page;
    void* mapping = mmap(nullptr, mappingSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) throw std::runtime_error("mmap failed");
    mapping_ = static_cast<uint8_t*>(mapping);
    uint8_t* guard = mapping_ + dataPages * page;
    mprotect(guard, page, PROT_NONE);
    start_ = guard - size;
    if (size) std::memcpy(start_, data, size);
}

GuardedBytes::~GuardedBytes() { munmap(mapping_, mappingSize_); }

}  // namespace dialog_test
