#include "draw/debug_font.h"

#include <stdlib.h>
#include <string.h>

#include "gfx/file_bytes.h"
#include "gfx/graphics_context.h"
#include "gfx/texture_loader.h"

bool LoadFontFile(const char* path, FontSlot& slot) {
    unsigned char* data;
    size_t size;
    if (FAILED(ReadFileBytes(path, &data, &size))) return false;
    const size_t tableSize = sizeof(slot.glyphs);
    ID3D11ShaderResourceView* atlas = NULL;
    const bool loaded = size > tableSize && LoadTextureMemory(data + tableSize, (int)(size - tableSize), &atlas);
    if (loaded) {
        if (slot.view) slot.view->Release();
        slot.view = atlas;
        memcpy(slot.glyphs, data, tableSize);
    }
    free(data);
    return loaded;
}
