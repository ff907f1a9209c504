#include "gfx/shader_file.h"

#include <d3d11.h>
#include <shlwapi.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>

#include "gfx/file_bytes.h"

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
    unsigned char* file;
    size_t fileLength;
    const HRESULT read = ReadFileBytes(shaderPath, &file, &fileLength);
    if (FAILED(read)) return read;
    if (fileLength < 4) {
        free(file);
        return E_FAIL;
    }
    const unsigned char* word = file;
    const unsigned char* packed = file + 4;
    const size_t packedLength = fileLength - 4;

    const UINT declared = (UINT)word[0] | (UINT)word[1] << 8 | (UINT)word[2] << 16 | (UINT)word[3] << 24;
    // Deflate yields at most 1032 bytes for every byte it reads. A word beyond what the
    // stream could ever fill gets a buffer of that bound instead: the text comes out the
    // same (the stream's own length), and a damaged word does not reserve gigabytes.
    const uint64_t reachable = (uint64_t)packedLength * 1032 + 1;
    const UINT capacity = declared < reachable ? declared : (UINT)reachable;
    char* inflated = (char*)malloc(capacity ? capacity : 1);
    if (!inflated) {
        free(file);
        return E_OUTOFMEMORY;
    }
    // An empty buffer is a text cut to nothing; zlib would call it an error.
    uLongf produced = capacity;
    const int result = capacity ? uncompress((Bytef*)inflated, &produced, packed, (uLong)packedLength) : Z_OK;
    free(file);
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
