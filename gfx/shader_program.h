// Shader programs compiled at start-up from the packed sources in Shaders/.
#pragma once

#include <d3d11.h>

struct ShaderProgram {
    ID3D11VertexShader* vertexShader;
    ID3D11PixelShader* pixelShader;
    ID3D11Buffer* constants;
    ID3D11InputLayout* inputLayout;
    FILETIME sourceTime;
    char sourcePath[128];
    char pixelEntry[64];
    char vertexEntry[64];
    UINT elementCount;
    D3D11_INPUT_ELEMENT_DESC elements[16];
    UINT constantsSize;
};

// Never null: a program whose compile or creation failed comes back incomplete (null
// interfaces) and stays out of graphics.programRegistry.
ShaderProgram* CreateShaderProgram(const char* sourcePath, const char* pixelEntry, const char* vertexEntry,
                                   const D3D11_INPUT_ELEMENT_DESC* elements, UINT elementCount,
                                   UINT constantsSize);

// Direct3D draws nothing without a vertex shader, nor when the shader's inputs have no layout,
// but some implementations (Wine's) crash on such a draw: callers bind as usual and skip only
// the draw call, so the state later draws see is the same either way. A program without a
// pixel shader still draws: it writes depth.
inline bool CanDraw(const ShaderProgram* program) { return program->vertexShader && program->inputLayout; }

// Reads the packed source beside sourcePath (extension replaced by ".shader"), inflates and
// compiles one entry point. Compiler errors are shown in a message box. The code of a
// successful compile is kept, and the same text, entry and target later get it again
// without a compile; the caller releases what it is given either way.
HRESULT CompileShader(const char* sourcePath, const char* entry, const char* target, ID3DBlob** code);
// Lets go of the kept code (ReleaseGraphics does this).
void ReleaseCompiledShaders();

// Releases the four interfaces, frees the record and nulls the pointer; null does nothing.
void ReleaseShaderProgram(ShaderProgram*& program);
