#include "gfx/shader_program.h"

#include <stdio.h>
#include <stdlib.h>

#include "gfx/graphics_context.h"

namespace {

void CopyName(char* destination, size_t capacity, const char* name) { snprintf(destination, capacity, "%s", name); }

// Handed out when a record cannot be allocated: callers never see null, and an all-null
// program draws nothing, like any other incomplete one. Nothing ever writes to it.
ShaderProgram emptyProgram;

}  // namespace

ShaderProgram* CreateShaderProgram(const char* sourcePath, const char* pixelEntry, const char* vertexEntry,
                                   const D3D11_INPUT_ELEMENT_DESC* elements, UINT elementCount,
                                   UINT constantsSize) {
    ShaderProgram* program = (ShaderProgram*)calloc(1, sizeof(ShaderProgram));
    if (!program) return &emptyProgram;

    ID3DBlob* blob = NULL;
    if (FAILED(CompileShader(sourcePath, vertexEntry, "vs_4_0", &blob))) return program;
    if (FAILED(graphics.device->CreateVertexShader(blob->GetBufferPointer(), blob->GetBufferSize(), NULL,
                                                   &program->vertexShader))) {
        blob->Release();
        return program;
    }
    HRESULT hr = graphics.device->CreateInputLayout(elements, elementCount, blob->GetBufferPointer(),
                                                    blob->GetBufferSize(), &program->inputLayout);
    blob->Release();
    if (FAILED(hr)) return program;

    if (FAILED(CompileShader(sourcePath, pixelEntry, "ps_5_0", &blob))) return program;
    hr = graphics.device->CreatePixelShader(blob->GetBufferPointer(), blob->GetBufferSize(), NULL,
                                            &program->pixelShader);
    blob->Release();
    if (FAILED(hr)) return program;

    D3D11_BUFFER_DESC desc = {};
    desc.ByteWidth = constantsSize;
    desc.Usage = D3D11_USAGE_DEFAULT;
    desc.BindFlags = D3D11_BIND_CONSTANT_BUFFER;
    graphics.device->CreateBuffer(&desc, NULL, &program->constants);

    HANDLE file = CreateFileA(sourcePath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              NULL);
    if (file != INVALID_HANDLE_VALUE) {
        GetFileTime(file, NULL, NULL, &program->sourceTime);
        CloseHandle(file);
    }

    CopyName(program->sourcePath, sizeof(program->sourcePath), sourcePath);
    CopyName(program->pixelEntry, sizeof(program->pixelEntry), pixelEntry);
    CopyName(program->vertexEntry, sizeof(program->vertexEntry), vertexEntry);
    const UINT kept = elementCount < 16 ? elementCount : 16;
    program->elementCount = kept;
    for (UINT i = 0; i < kept; ++i) program->elements[i] = elements[i];
    program->constantsSize = constantsSize;

    // The registry has room for 64; the system makes 31, so a full registry only drops
    // later entries rather than writing past its end.
    if (graphics.programCount < 64) graphics.programRegistry[graphics.programCount++] = program;
    return program;
}

void ReleaseShaderProgram(ShaderProgram*& program) {
    if (!program) return;
    if (program == &emptyProgram) {
        program = NULL;
        return;
    }
    if (program->vertexShader) program->vertexShader->Release();
    if (program->pixelShader) program->pixelShader->Release();
    if (program->constants) program->constants->Release();
    if (program->inputLayout) program->inputLayout->Release();
    free(program);
    program = NULL;
}
