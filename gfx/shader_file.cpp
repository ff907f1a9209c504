#include "gfx/shader_file.h"

#include <d3d11.h>
#include <shlwapi.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>

bool ShaderFilePath(const char* sourcePath, char shaderPath[MAX_PATH]) {
    const size_t length = strlen(sourcePath);
    if (length >= MAX_PATH) return false;
    memcpy(shaderPath, sourcePath, length + 1);
    PathRemoveExtensionA(shaderPath);
    const size_t stem = strlen(shaderPath);
    if (stem + sizeof(".shader") > MAX_PATH) return false;
    memcpy(shaderPath + stem, ".shader", sizeof(".shader"));
    return true;
}

HRESULT ReadShaderFile(const char* shaderPath, char** text, UINT* length) {
    *text = NULL;
    *length = 0;
    FILE* file = fopen(shaderPath, "rb");
    if (!file) return D3D11_ERROR_FILE_NOT_FOUND;
    fseek(file, 0, SEEK_END);
    const long fileLength = ftell(file);
    fseek(file, 0, SEEK_SET);
    unsigned char word[4];
    if (fileLength < 4 || fread(word, 1, 4, file) != 4) {
        fclose(file);
        return E_FAIL;
    }
    const size_t packedCapacity = (size_t)fileLength - 4;
    unsigned char* packed = (unsigned char*)malloc(packedCapacity ? packedCapacity : 1);
    if (!packed) {
        fclose(file);
        return E_OUTOFMEMORY;
    }
    // Only what was actually read goes to the inflater, should the file shrink meanwhile.
    const size_t packedLength = fread(packed, 1, packedCapacity, file);
    fclose(file);

    const UINT declared = (UINT)word[0] | (UINT)word[1] << 8 | (UINT)word[2] << 16 | (UINT)word[3] << 24;
    // Deflate yields at most 1032 bytes for every byte it reads. A word beyond what the
    // stream could ever fill gets a buffer of that bound instead: the text comes out the
    // same (the stream's own length), and a damaged word does not reserve gigabytes.
    const uint64_t reachable = (uint64_t)packedLength * 1032 + 1;
    const UINT capacity = declared < reachable ? declared : (UINT)reachable;
    char* inflated = (char*)malloc(capacity ? capacity : 1);
    if (!inflated) {
        free(packed);
        return E_OUTOFMEMORY;
    }
    // An empty buffer is a text cut to nothing; zlib would call it an error.
    uLongf produced = capacity;
    const int result = capacity ? uncompress((Bytef*)inflated, &produced, packed, (uLong)packedLength) : Z_OK;
    free(packed);
    // Z_BUF_ERROR: the text is longer than the word says and fills the buffer; it is cut
    // there. Anything else but Z_OK leaves bytes that were never written, so nothing of it
    // is handed on.
    if (result != Z_OK && result != Z_BUF_ERROR) {
        free(inflated);
        return E_FAIL;
    }
    *text = inflated;
    *length = (UINT)produced;
    return S_OK;
}
