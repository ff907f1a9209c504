#include "res_image.h"

namespace quarvel::dialog {
namespace {
bool ParseEntry(const uint8_t* image, size_t size, size_t start, ResEntry* entry, size_t* next) {
    WireReader header(image + start, size - start);
    uint32_t dataSize = 0, headerSize = 0;
    if (!header.Dword(&dataSize) || !header.Dword(&headerSize)) return false;
    // The header's own fields must fit inside the size it claims, and the header inside
    // what is left of the image; only then is anything read from it.
    if (headerSize < 8 || headerSize > size - start) return false;
    WireReader fields(image + start, headerSize);
    fields.Skip(8);
    fields.NameOrOrdinalField(&entry->type);
    fields.NameOrOrdinalField(&entry->name);
    fields.Align(4);
    uint32_t dataVersion = 0, version = 0, characteristics = 0;
    fields.Dword(&dataVersion);
    fields.Word(&entry->memoryFlags);
    fields.Word(&entry->languageId);
    fields.Dword(&version);
    fields.Dword(&characteristics);
    if (!fields.ok()) return false;
    size_t dataStart = start + headerSize;
    if (dataSize > size - dataStart) return false;
    entry->data = image + dataStart;
    entry->size = dataSize;
    size_t end = dataStart + dataSize;
    size_t padded = (end + 3) & ~static_cast<size_t>(3);
    // The last entry's padding may be left off; what follows it must then be nothing.
    *next = padded < size ? padded : size;
    return true;
}
}  // namespace

bool ParseResImage(const uint8_t* image, size_t size, std::vector<ResEntry>* entries) {
    entries->clear();
    if (!image) return false;
    size_t offset = 0;
    while (offset < size) {
        ResEntry entry;
        size_t next = 0;
        if (!ParseEntry(image, size, offset, &entry, &next)) {
            entries->clear();
            return false;
        }
        bool placeholder = entry.type.isOrdinal && entry.type.ordinal == 0 && entry.size == 0;
        if (!placeholder) entries->push_back(entry);
        offset = next;
    }
    return true;
}

}  // namespace quarvel::dialog
