// The HLSL compiler library: D3DCompile and D3DCreateBlob with their Windows signatures and
// flag values. Here the compiler is glslang's HLSL front end with SPIRV-Cross behind it,
// and a code blob holds GLSL for the OpenGL-based Direct3D 11 device plus what that device
// needs to know about the shader (see platform/hlsl/shader_blob.h).
//
// Targets: "vs_4_0", "vs_4_1", "vs_5_0", "ps_4_0", "ps_4_1", "ps_5_0".
// Messages: "name(line,col): error X####: text", one a line, in the error blob as a
// NUL-terminated string; name is pSourceName, or "<anonymous>" when it is null.
#pragma once

#include <d3dcommon.h>

#define D3DCOMPILE_DEBUG (1 << 0)
#define D3DCOMPILE_SKIP_VALIDATION (1 << 1)
#define D3DCOMPILE_SKIP_OPTIMIZATION (1 << 2)
#define D3DCOMPILE_PACK_MATRIX_ROW_MAJOR (1 << 3)
#define D3DCOMPILE_PACK_MATRIX_COLUMN_MAJOR (1 << 4)
#define D3DCOMPILE_PARTIAL_PRECISION (1 << 5)
#define D3DCOMPILE_FORCE_VS_SOFTWARE_NO_OPT (1 << 6)
#define D3DCOMPILE_FORCE_PS_SOFTWARE_NO_OPT (1 << 7)
#define D3DCOMPILE_NO_PRESHADER (1 << 8)
#define D3DCOMPILE_AVOID_FLOW_CONTROL (1 << 9)
#define D3DCOMPILE_PREFER_FLOW_CONTROL (1 << 10)
#define D3DCOMPILE_ENABLE_STRICTNESS (1 << 11)
#define D3DCOMPILE_ENABLE_BACKWARDS_COMPATIBILITY (1 << 12)
#define D3DCOMPILE_IEEE_STRICTNESS (1 << 13)
#define D3DCOMPILE_OPTIMIZATION_LEVEL0 (1 << 14)
#define D3DCOMPILE_OPTIMIZATION_LEVEL1 0
#define D3DCOMPILE_OPTIMIZATION_LEVEL2 ((1 << 14) | (1 << 15))
#define D3DCOMPILE_OPTIMIZATION_LEVEL3 (1 << 15)
#define D3DCOMPILE_RESERVED16 (1 << 16)
#define D3DCOMPILE_RESERVED17 (1 << 17)
#define D3DCOMPILE_WARNINGS_ARE_ERRORS (1 << 18)
#define D3DCOMPILE_RESOURCES_MAY_ALIAS (1 << 19)
#define D3DCOMPILE_ENABLE_UNBOUNDED_DESCRIPTOR_TABLES (1 << 20)
#define D3DCOMPILE_ALL_RESOURCES_BOUND (1 << 21)
#define D3DCOMPILE_DEBUG_NAME_FOR_SOURCE (1 << 22)
#define D3DCOMPILE_DEBUG_NAME_FOR_BINARY (1 << 23)

#define D3DCOMPILE_EFFECT_CHILD_EFFECT (1 << 0)
#define D3DCOMPILE_EFFECT_ALLOW_SLOW_OPS (1 << 1)

#ifdef __cplusplus
extern "C" {
#endif

// E_INVALIDARG for a null source, entry point, target or ppCode, and for an unsupported
// target (with a message); E_FAIL when the source does not compile (messages in
// *ppErrorMsgs); E_OUTOFMEMORY when memory runs out. On success *ppErrorMsgs holds the
// warnings, or is null when there were none.
HRESULT WINAPI D3DCompile(LPCVOID pSrcData, SIZE_T SrcDataSize, LPCSTR pSourceName, const D3D_SHADER_MACRO* pDefines,
                          ID3DInclude* pInclude, LPCSTR pEntrypoint, LPCSTR pTarget, UINT Flags1, UINT Flags2,
                          ID3DBlob** ppCode, ID3DBlob** ppErrorMsgs);

HRESULT WINAPI D3DCreateBlob(SIZE_T Size, ID3DBlob** ppBlob);

#ifdef __cplusplus
}
#endif
