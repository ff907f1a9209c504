// Shared by the HLSL tests and benchmark: D3DCompile as the system calls it, a hidden GL
// 4.5 context (SDL's offscreen driver when there is no display), GL program building, and
// the system's 31 programs.
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>
#include <d3dcompiler.h>

#include <string>
#include <vector>

#include "hlsl/shader_blob.h"

namespace quarvel::hlsl::test {

struct Compiled {
    HRESULT hr = E_FAIL;
    std::string messages;   // the error blob's text; empty when there was none
    CompiledShader shader;  // read back from the code blob
    bool blobRead = false;
};

// Defaults as the system calls it: no macros, no include handler, strictness on.
Compiled Compile(const std::string& source, const char* entry, const char* target,
                 const char* sourceName = "Shaders/Test.fx", UINT flags = D3DCOMPILE_ENABLE_STRICTNESS,
                 const D3D_SHADER_MACRO* defines = nullptr, ID3DInclude* include = nullptr);

std::string ReadFile(const std::string& path);

// False (the reason in `why`) when no GL 4.5 core context can be had. Made once per process.
bool EnsureGlContext(std::string& why);
// Compiles and links a vertex and a pixel shader; 0 with the logs on failure.
GLuint LinkProgram(const std::string& vertexGlsl, const std::string& pixelGlsl, std::string& log);
// Draws one full-screen triangle (three vertices, no buffers) into a `width` x 1 RGBA32F
// target and returns its pixels, four floats each.
std::vector<float> DrawRow(GLuint program, int width);

struct SystemProgram {
    const char* file;
    const char* pixelEntry;
    const char* vertexEntry;
};
// Every program the system creates, with its source file under Shaders/.
extern const std::vector<SystemProgram> kSystemPrograms;

}  // namespace quarvel::hlsl::test
