// The program's resources, found the way Windows finds them in a module's resource section.
// On Windows the linker puts the compiled .rc into the executable; here the build embeds the
// .res image and registers it before main (tools/resources). Tests register their own.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace quarvel::dialog {

// Makes the resources of a .res image findable. The bytes must stay valid until they are
// unregistered. Images registered later are searched first, so a test can put a resource of
// its own in front of the program's. False (and nothing registered) when the image is damaged.
bool RegisterModuleResources(const void* image, size_t size);
void UnregisterModuleResources(const void* image);

// Finds a resource by type and name: ordinals from MAKEINTRESOURCEA, "#123" strings, or
// names compared without regard to case, as FindResourceA does. On failure, false with the
// error Windows reports: ERROR_RESOURCE_DATA_NOT_FOUND (no resources at all),
// ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND.
bool FindModuleResource(LPCSTR type, LPCSTR name, const uint8_t** data, size_t* size, DWORD* error);

}  // namespace quarvel::dialog
