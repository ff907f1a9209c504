#include <d3dcompiler.h>
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

}  // namespace

HRESULT CompileShader(const char* sourcePath, const char* entry, const char* target, ID3DBlob** code) {
    *code = NULL;
    char shaderPath[MAX_PATH];
    if (!ShaderFilePath(sourcePath, shaderPath)) return E_INVALIDARG;
    char* text;
    UINT length;
    HRESULT hr = ReadShaderFile(shaderPath, &text, &length);
    if (FAILED(hr)) return hr;

    ID3DBlob* errors = NULL;
    hr = D3DCompile(text, length, sourcePath, NULL, NULL, entry, target, D3DCOMPILE_ENABLE_STRICTNESS, 0, code,
                    &errors);
    if (errors) {
        if (FAILED(hr)) ShowCompileErrors(errors);
        errors->Release();
    }
    free(text);
    return hr;
}
