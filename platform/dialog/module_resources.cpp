#include "module_resources.h"

#include <cctype>
#include <cstdio>
#include <mutex>
#include <vector>

#include "res_image.h"

namespace quarvel::dialog {
namespace {
using dialog::NameOrOrdinal;
using dialog::ResEntry;

struct Image {
    const void* bytes;
    std::vector<ResEntry> entries;
};

struct Table {
    std::mutex mutex;
    std::vector<Image> images;  // newest last
};

// Reached from static initialisers in other translation units, so it must exist before
// any of them runs.
Table& ResourceTable() {
    static Table table;
    return table;
}

// "#123" names an ordinal, as in FindResourceA.
bool ParseOrdinalString(const char* text, uint16_t* ordinal) {
    if (text[0] != '#' || !text[1]) return false;
    unsigned long value = 0;
    for (const char* p = text + 1; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + static_cast<unsigned long>(*p - '0');
        if (value > 0xFFFF) return false;
    }
    *ordinal = static_cast<uint16_t>(value);
    return true;
}

bool Matches(const NameOrOrdinal& stored, LPCSTR query) {
    if (IS_INTRESOURCE(query)) {
        return stored.isOrdinal && stored.ordinal == static_cast<uint16_t>(reinterpret_cast<ULONG_PTR>(query));
    }
    uint16_t ordinal = 0;
    if (ParseOrdinalString(query, &ordinal)) return stored.isOrdinal && stored.ordinal == ordinal;
    if (stored.isOrdinal) return false;
    const std::string& name = stored.text;
    size_t i = 0;
    for (; query[i]; ++i) {
        if (i >= name.size()) return false;
        if (std::toupper(static_cast<unsigned char>(query[i])) != std::toupper(static_cast<unsigned char>(name[i])))
            return false;
    }
    return i == name.size();
}
}  // namespace

bool RegisterModuleResources(const void* image, size_t size) {
    std::vector<ResEntry> entries;
    if (!image || !dialog::ParseResImage(static_cast<const uint8_t*>(image), size, &entries)) {
        std::fprintf(stderr, "RegisterModuleResources: the resource image (%zu bytes) is damaged\n", size);
        return false;
    }
    Table& table = ResourceTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.images.push_back(Image{image, std::move(entries)});
    return true;
}

void UnregisterModuleResources(const void* image) {
    Table& table = ResourceTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    for (size_t i = table.images.size(); i-- > 0;) {
        if (table.images[i].bytes == image) {
            table.images.erase(table.images.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

bool FindModuleResource(LPCSTR type, LPCSTR name, const uint8_t** data, size_t* size, DWORD* error) {
    *data = nullptr;
    *size = 0;
    Table& table = ResourceTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    bool anyResource = false, typeFound = false;
    for (size_t i = table.images.size(); i-- > 0;) {
        for (const ResEntry& entry : table.images[i].entries) {
            anyResource = true;
            if (!Matches(entry.type, type)) continue;
            typeFound = true;
            if (!Matches(entry.name, name)) continue;
            *data = entry.data;
            *size = entry.size;
            return true;
        }
    }
    *error = !anyResource ? ERROR_RESOURCE_DATA_NOT_FOUND
             : !typeFound ? ERROR_RESOURCE_TYPE_NOT_FOUND
                          : ERROR_RESOURCE_NAME_NOT_FOUND;
    return false;
}

}  // namespace quarvel::dialog
