#include "draw/debug_font.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "gfx/graphics_context.h"
#include "gfx/texture_loader.h"

bool LoadFontFile(const char* path, FontSlot& slot) {
    FILE* file = fopen(path, "rb");
    if (!file) return false;
    fseek(file, 0, SEEK_END);
    const long size = ftell(file);
    fseek(file, 0, SEEK_SET);
    const long tableSize = (long)sizeof(slot.glyphs);
    if (size <= tableSize || size > INT_MAX) {
        fclose(file);
        return false;
    }
    unsigned char* data = (unsigned char*)malloc((size_t)size);
    const size_t read = data ? fread(data, 1, (size_t)size, file) : 0;
    fclose(file);
    if (read != (size_t)size) {
        free(data);
        return false;
    }

    ID3D11ShaderResourceView* atlas = NULL;
    const bool loaded = LoadTextureMemory(data + tableSize, (int)(size - tableSize), &atlas);
    if (loaded) {
        if (slot.view) slot.view->Release();
        slot.view = atlas;
        memcpy(slot.glyphs, data, (size_t)tableSize);
    }
    free(data);
    return loaded;
}
