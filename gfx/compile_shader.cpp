#include <d3dcompiler.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "gfx/shader_file.h"
#include "gfx/shader_program.h"

namespace {

// The compiler's messages begin with the source path, so the box names the file at fault.
void ShowCompileErrors(ID3DBlob* errors) {
    const SIZE_T size = errors->GetBufferSize();
    char* text = (char*)malloc(size + 1);
    if (!text) return;
    memcpy(text, errors->GetBufferPointer(), size);
    text[size] = '\0';
    MessageBoxA(NULL, text, "Error", MB_OK);
    OutputDebugStringA(text);
    free(text);
}

// Start-up builds 31 programs from six files, and each program compiles its file's vertex
// shader again: 62 compiles of which 37 differ. A compile depends only on the source text,
// the entry point and the target (the flags are always the same here), so the code of a
// successful one is kept and handed out again for the same three; the source path is left
// out because only error messages name it, and failures are not kept.
struct KeptSource {
    char* text;
    UINT length;
};
struct KeptCode {
    int source;
    char entry[64];
    char target[16];
    ID3DBlob* code;
};
const int kKeptSources = 16;
const int kKeptCodes = 64;
KeptSource keptSources[kKeptSources];
int keptSourceCount = 0;
KeptCode keptCodes[kKeptCodes];
int keptCodeCount = 0;

int FindSource(const char* text, UINT length) {
    for (int i = 0; i < keptSourceCount; ++i)
        if (keptSources[i].length == length && memcmp(keptSources[i].text, text, length) == 0) return i;
    return -1;
}

ID3DBlob* FindCode(int source, const char* entry, const char* target) {
    for (int i = 0; i < keptCodeCount; ++i)
        if (keptCodes[i].source == source && strcmp(keptCodes[i].entry, entry) == 0 &&
            strcmp(keptCodes[i].target, target) == 0)
            return keptCodes[i].code;
    return NULL;
}

// Takes the text over when it is kept as a new source; false leaves it with the caller.
bool Keep(char* text, UINT length, int source, const char* entry, const char* target, ID3DBlob* code) {
    if (keptCodeCount == kKeptCodes || strlen(entry) >= sizeof keptCodes[0].entry ||
        strlen(target) >= sizeof keptCodes[0].target)
        return false;
    bool tookText = false;
    if (source < 0) {
        if (keptSourceCount == kKeptSources) return false;
        source = keptSourceCount++;
        keptSources[source].text = text;
        keptSources[source].length = length;
        tookText = true;
    }
    KeptCode& kept = keptCodes[keptCodeCount++];
    kept.source = source;
    snprintf(kept.entry, sizeof kept.entry, "%s", entry);
    snprintf(kept.target, sizeof kept.target, "%s", target);
    kept.code = code;
    code->AddRef();
    return tookText;
}

}  // namespace

HRESULT CompileShader(const char* sourcePath, const char* entry, const char* target, ID3DBlob** code) {
    *code = NULL;
    char shaderPath[MAX_PATH];
    if (!ShaderFilePath(sourcePath, shaderPath)) return E_INVALIDARG;
    char* text;
    UINT length;
    HRESULT hr = ReadShaderFile(shaderPath, &text, &length);
    if (FAILED(hr)) return hr;

    const int source = FindSource(text, length);
    if (ID3DBlob* kept = source >= 0 ? FindCode(source, entry, target) : NULL) {
        free(text);
        kept->AddRef();
        *code = kept;
        return S_OK;
    }

    ID3DBlob* errors = NULL;
    hr = D3DCompile(text, length, sourcePath, NULL, NULL, entry, target, D3DCOMPILE_ENABLE_STRICTNESS, 0, code,
                    &errors);
    if (errors) {
        if (FAILED(hr)) ShowCompileErrors(errors);
        errors->Release();
    }
    if (SUCCEEDED(hr) && *code && Keep(text, length, source, entry, target, *code)) return hr;
    free(text);
    return hr;
}

void ReleaseCompiledShaders() {
    for (int i = 0; i < keptCodeCount; ++i) keptCodes[i].code->Release();
    for (int i = 0; i < keptSourceCount; ++i) free(keptSources[i].text);
    keptCodeCount = 0;
    keptSourceCount = 0;
}
