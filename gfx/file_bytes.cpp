#include "gfx/file_bytes.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>

HRESULT ReadFileBytes(const char* path, unsigned char** data, size_t* size) {
    *data = NULL;
    *size = 0;
    FILE* file = fopen(path, "rb");
    if (!file) return D3D11_ERROR_FILE_NOT_FOUND;
    fseek(file, 0, SEEK_END);
    const long length = ftell(file);
    fseek(file, 0, SEEK_SET);
    if (length < 0 || length > INT_MAX) {
        fclose(file);
        return E_FAIL;
    }
    unsigned char* bytes = (unsigned char*)malloc(length ? (size_t)length : 1);
    if (!bytes) {
        fclose(file);
        return E_OUTOFMEMORY;
    }
    *size = fread(bytes, 1, (size_t)length, file);
    fclose(file);
    *data = bytes;
    return S_OK;
}
