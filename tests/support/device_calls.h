// The calls of ID3D11Device after IUnknown's, listed once for the test devices that wrap a
// device or stand in for one: creation calls as X(name, parameters, arguments), their result
// always the last parameter `o`; the rest as X(type, name, parameters, arguments).
#pragma once

#include <d3d11.h>

#define QUARVEL_DEVICE_CREATION_CALLS(X)                                                                              \
    X(CreateBuffer, (const D3D11_BUFFER_DESC* d, const D3D11_SUBRESOURCE_DATA* i, ID3D11Buffer** o), (d, i, o))       \
    X(CreateTexture1D, (const D3D11_TEXTURE1D_DESC* d, const D3D11_SUBRESOURCE_DATA* i, ID3D11Texture1D** o),         \
      (d, i, o))                                                                                                      \
    X(CreateTexture2D, (const D3D11_TEXTURE2D_DESC* d, const D3D11_SUBRESOURCE_DATA* i, ID3D11Texture2D** o),         \
      (d, i, o))                                                                                                      \
    X(CreateTexture3D, (const D3D11_TEXTURE3D_DESC* d, const D3D11_SUBRESOURCE_DATA* i, ID3D11Texture3D** o),         \
      (d, i, o))                                                                                                      \
    X(CreateShaderResourceView,                                                                                       \
      (ID3D11Resource * r, const D3D11_SHADER_RESOURCE_VIEW_DESC* d, ID3D11ShaderResourceView** o), (r, d, o))        \
    X(CreateUnorderedAccessView,                                                                                      \
      (ID3D11Resource * r, const D3D11_UNORDERED_ACCESS_VIEW_DESC* d, ID3D11UnorderedAccessView** o), (r, d, o))      \
    X(CreateRenderTargetView,                                                                                         \
      (ID3D11Resource * r, const D3D11_RENDER_TARGET_VIEW_DESC* d, ID3D11RenderTargetView** o), (r, d, o))            \
    X(CreateDepthStencilView,                                                                                         \
      (ID3D11Resource * r, const D3D11_DEPTH_STENCIL_VIEW_DESC* d, ID3D11DepthStencilView** o), (r, d, o))            \
    X(CreateInputLayout, (const D3D11_INPUT_ELEMENT_DESC* e, UINT n, const void* c, SIZE_T s, ID3D11InputLayout** o), \
      (e, n, c, s, o))                                                                                                \
    X(CreateVertexShader, (const void* c, SIZE_T s, ID3D11ClassLinkage* l, ID3D11VertexShader** o), (c, s, l, o))     \
    X(CreateGeometryShader, (const void* c, SIZE_T s, ID3D11ClassLinkage* l, ID3D11GeometryShader** o), (c, s, l, o)) \
    X(CreateGeometryShaderWithStreamOutput,                                                                           \
      (const void* c, SIZE_T s, const D3D11_SO_DECLARATION_ENTRY* e, UINT n, const UINT* st, UINT ns, UINT r,         \
       ID3D11ClassLinkage* l, ID3D11GeometryShader** o),                                                              \
      (c, s, e, n, st, ns, r, l, o))                                                                                  \
    X(CreatePixelShader, (const void* c, SIZE_T s, ID3D11ClassLinkage* l, ID3D11PixelShader** o), (c, s, l, o))       \
    X(CreateHullShader, (const void* c, SIZE_T s, ID3D11ClassLinkage* l, ID3D11HullShader** o), (c, s, l, o))         \
    X(CreateDomainShader, (const void* c, SIZE_T s, ID3D11ClassLinkage* l, ID3D11DomainShader** o), (c, s, l, o))     \
    X(CreateComputeShader, (const void* c, SIZE_T s, ID3D11ClassLinkage* l, ID3D11ComputeShader** o), (c, s, l, o))   \
    X(CreateClassLinkage, (ID3D11ClassLinkage * *o), (o))                                                             \
    X(CreateBlendState, (const D3D11_BLEND_DESC* d, ID3D11BlendState** o), (d, o))                                    \
    X(CreateDepthStencilState, (const D3D11_DEPTH_STENCIL_DESC* d, ID3D11DepthStencilState** o), (d, o))              \
    X(CreateRasterizerState, (const D3D11_RASTERIZER_DESC* d, ID3D11RasterizerState** o), (d, o))                     \
    X(CreateSamplerState, (const D3D11_SAMPLER_DESC* d, ID3D11SamplerState** o), (d, o))                              \
    X(CreateQuery, (const D3D11_QUERY_DESC* d, ID3D11Query** o), (d, o))                                              \
    X(CreatePredicate, (const D3D11_QUERY_DESC* d, ID3D11Predicate** o), (d, o))                                      \
    X(CreateCounter, (const D3D11_COUNTER_DESC* d, ID3D11Counter** o), (d, o))                                        \
    X(CreateDeferredContext, (UINT f, ID3D11DeviceContext * *o), (f, o))

#define QUARVEL_DEVICE_OTHER_CALLS(X)                                                                               \
    X(HRESULT, OpenSharedResource, (HANDLE h, REFIID riid, void** o), (h, riid, o))                                 \
    X(HRESULT, CheckFormatSupport, (DXGI_FORMAT f, UINT * s), (f, s))                                               \
    X(HRESULT, CheckMultisampleQualityLevels, (DXGI_FORMAT f, UINT c, UINT * n), (f, c, n))                         \
    X(void, CheckCounterInfo, (D3D11_COUNTER_INFO * i), (i))                                                        \
    X(HRESULT, CheckCounter,                                                                                        \
      (const D3D11_COUNTER_DESC* d, D3D11_COUNTER_TYPE* t, UINT* a, LPSTR n, UINT* nl, LPSTR u, UINT* ul, LPSTR de, \
       UINT* dl),                                                                                                   \
      (d, t, a, n, nl, u, ul, de, dl))                                                                              \
    X(HRESULT, CheckFeatureSupport, (D3D11_FEATURE f, void* d, UINT s), (f, d, s))                                  \
    X(HRESULT, GetPrivateData, (REFGUID g, UINT * s, void* d), (g, s, d))                                           \
    X(HRESULT, SetPrivateData, (REFGUID g, UINT s, const void* d), (g, s, d))                                       \
    X(HRESULT, SetPrivateDataInterface, (REFGUID g, const IUnknown* d), (g, d))                                     \
    X(D3D_FEATURE_LEVEL, GetFeatureLevel, (), ())                                                                   \
    X(UINT, GetCreationFlags, (), ())                                                                               \
    X(HRESULT, GetDeviceRemovedReason, (), ())                                                                      \
    X(void, GetImmediateContext, (ID3D11DeviceContext * *c), (c))                                                   \
    X(HRESULT, SetExceptionMode, (UINT f), (f))                                                                     \
    X(UINT, GetExceptionMode, (), ())
