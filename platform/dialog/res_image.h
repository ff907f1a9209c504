// The .res image format (what a resource compiler writes and a linker puts into a
// program): a sequence of DWORD-aligned entries, each a header naming its type and name,
// then its data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "wire_reader.h"

namespace quarvel::dialog {

struct ResEntry {
    NameOrOrdinal type;
    NameOrOrdinal name;
    uint16_t memoryFlags = 0;
    uint16_t languageId = 0;
    const uint8_t* data = nullptr;  // points into the image
    uint32_t size = 0;
};

// Fills `entries` with every resource in the image, skipping the empty entry (type 0) that
// starts every .res file. False, with `entries` cleared, when any header or data block
// runs past the end or is inconsistent: a damaged image is rejected whole.
bool ParseResImage(const uint8_t* image, size_t size, std::vector<ResEntry>* entries);

}  // namespace quarvel::dialog
