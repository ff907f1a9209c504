// D3DCompile and D3DCreateBlob: arguments checked as Windows checks them, then the source
// goes through glslang, SPIRV-Tools and SPIRV-Cross (hlsl_front_end, glsl_back_end), and
// the result is packed into a code blob the Direct3D 11 stand-in reads.
#include <d3dcompiler.h>

#include <new>
#include <string>

#include "core/log_once.h"
#include "glsl_back_end.h"
#include "hlsl_front_end.h"
#include "memory_blob.h"

namespace quarvel::hlsl {
namespace {

HRESULT TextBlob(const std::string& text, ID3DBlob** out) {
    // Error blobs are C strings; the terminating NUL is part of the blob, as on Windows.
    MemoryBlob* blob = MemoryBlob::Copy(text.c_str(), text.size() + 1);
    if (!blob) return E_OUTOFMEMORY;
    *out = blob;
    return S_OK;
}

// Hands the messages out (when the caller asked for them) and returns `result`.
HRESULT Finish(HRESULT result, const Diagnostics& diagnostics, ID3DBlob** ppErrorMsgs) {
    if (ppErrorMsgs && !diagnostics.Text().empty()) {
        const HRESULT hr = TextBlob(diagnostics.Text(), ppErrorMsgs);
        if (FAILED(hr)) return hr;
    }
    return result;
}

HRESULT Compile(const void* source, SIZE_T size, const char* sourceName, const D3D_SHADER_MACRO* defines,
                ID3DInclude* include, const char* entry, const char* target, UINT flags, UINT effectFlags,
                ID3DBlob** ppCode, ID3DBlob** ppErrorMsgs) {
    Diagnostics diagnostics(sourceName ? sourceName : "<anonymous>");
    const std::optional<ShaderStage> stage = StageOfTarget(target);
    if (!stage) {
        diagnostics.Error("X3539", "'" + std::string(target) +
                                       "': unsupported target (use vs_4_0, vs_4_1, vs_5_0, ps_4_0, ps_4_1 or ps_5_0)");
        return Finish(E_INVALIDARG, diagnostics, ppErrorMsgs);
    }
    if (effectFlags != 0) quarvel::core::LogOnce("hlsl", "D3DCompile", "not supported: effect flags (Flags2), ignored");

    FrontEndInput input;
    input.source = std::string_view(static_cast<const char*>(source), size);
    input.sourceName = diagnostics.SourceName();
    for (const D3D_SHADER_MACRO* m = defines; m && m->Name; ++m)
        input.macros.push_back({m->Name, m->Definition ? m->Definition : "1"});
    input.include = include;
    input.entry = entry;
    input.stage = *stage;
    input.flags = flags;

    FrontEnd frontEnd;
    CompiledShader shader;
    shader.stage = *stage;
    shader.entryPoint = entry;
    shader.target = target;
    if (!frontEnd.Parse(input, diagnostics) || !frontEnd.Legalize(diagnostics) ||
        !TranslateToGlsl(frontEnd.Spirv(), *stage, frontEnd.Offsets(), shader, diagnostics)) {
        // A failure always says so, even if a step gave no reason.
        if (!diagnostics.HasErrors()) diagnostics.Error("X3000", "compilation failed");
        return Finish(E_FAIL, diagnostics, ppErrorMsgs);
    }
    if ((flags & D3DCOMPILE_WARNINGS_ARE_ERRORS) && diagnostics.HasWarnings()) {
        diagnostics.Error("X3000", "warnings are treated as errors (D3DCOMPILE_WARNINGS_ARE_ERRORS)");
        return Finish(E_FAIL, diagnostics, ppErrorMsgs);
    }

    const std::vector<uint8_t> bytes = WriteShaderBlob(shader);
    MemoryBlob* code = MemoryBlob::Copy(bytes.data(), bytes.size());
    if (!code) return E_OUTOFMEMORY;
    const HRESULT hr = Finish(S_OK, diagnostics, ppErrorMsgs);
    if (FAILED(hr)) {
        code->Release();
        return hr;
    }
    *ppCode = code;
    return S_OK;
}

}  // namespace
}  // namespace quarvel::hlsl

extern "C" HRESULT WINAPI D3DCompile(LPCVOID pSrcData, SIZE_T SrcDataSize, LPCSTR pSourceName,
                                     const D3D_SHADER_MACRO* pDefines, ID3DInclude* pInclude, LPCSTR pEntrypoint,
                                     LPCSTR pTarget, UINT Flags1, UINT Flags2, ID3DBlob** ppCode,
                                     ID3DBlob** ppErrorMsgs) {
    if (ppCode) *ppCode = nullptr;
    if (ppErrorMsgs) *ppErrorMsgs = nullptr;
    if (!pSrcData || !pEntrypoint || !pTarget || !ppCode) return E_INVALIDARG;
    try {
        return quarvel::hlsl::Compile(pSrcData, SrcDataSize, pSourceName, pDefines, pInclude, pEntrypoint, pTarget,
                                      Flags1, Flags2, ppCode, ppErrorMsgs);
    } catch (const std::bad_alloc&) {
        // Nothing is handed out before the last allocation, bar the message blob.
        if (ppErrorMsgs && *ppErrorMsgs) {
            (*ppErrorMsgs)->Release();
            *ppErrorMsgs = nullptr;
        }
        return E_OUTOFMEMORY;
    }
}

extern "C" HRESULT WINAPI D3DCreateBlob(SIZE_T Size, ID3DBlob** ppBlob) {
    if (!ppBlob) return E_INVALIDARG;
    *ppBlob = quarvel::hlsl::MemoryBlob::Create(Size);
    return *ppBlob ? S_OK : E_OUTOFMEMORY;
}
