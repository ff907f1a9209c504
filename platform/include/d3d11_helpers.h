// The C++ description helpers that Direct3D 11's header provides (CD3D11_*), for the
// descriptions this platform supports. Included by d3d11.h; define D3D11_NO_HELPERS to leave
// them out as the real header allows.
#pragma once

#if !defined(D3D11_NO_HELPERS) && defined(__cplusplus)

struct CD3D11_DEFAULT {};
inline constexpr CD3D11_DEFAULT D3D11_DEFAULT{};

struct CD3D11_RASTERIZER_DESC : public D3D11_RASTERIZER_DESC {
    CD3D11_RASTERIZER_DESC() = default;
    explicit CD3D11_RASTERIZER_DESC(const D3D11_RASTERIZER_DESC& o) : D3D11_RASTERIZER_DESC(o) {}
    explicit CD3D11_RASTERIZER_DESC(CD3D11_DEFAULT) {
        FillMode = D3D11_FILL_SOLID;
        CullMode = D3D11_CULL_BACK;
        FrontCounterClockwise = FALSE;
        DepthBias = D3D11_DEFAULT_DEPTH_BIAS;
        DepthBiasClamp = D3D11_DEFAULT_DEPTH_BIAS_CLAMP;
        SlopeScaledDepthBias = D3D11_DEFAULT_SLOPE_SCALED_DEPTH_BIAS;
        DepthClipEnable = TRUE;
        ScissorEnable = FALSE;
        MultisampleEnable = FALSE;
        AntialiasedLineEnable = FALSE;
    }
};

struct CD3D11_DEPTH_STENCIL_DESC : public D3D11_DEPTH_STENCIL_DESC {
    CD3D11_DEPTH_STENCIL_DESC() = default;
    explicit CD3D11_DEPTH_STENCIL_DESC(const D3D11_DEPTH_STENCIL_DESC& o) : D3D11_DEPTH_STENCIL_DESC(o) {}
    explicit CD3D11_DEPTH_STENCIL_DESC(CD3D11_DEFAULT) {
        DepthEnable = TRUE;
        DepthWriteMask = D3D11_DEPTH_WRITE_MASK_ALL;
        DepthFunc = D3D11_COMPARISON_LESS;
        StencilEnable = FALSE;
        StencilReadMask = D3D11_DEFAULT_STENCIL_READ_MASK;
        StencilWriteMask = D3D11_DEFAULT_STENCIL_WRITE_MASK;
        const D3D11_DEPTH_STENCILOP_DESC op = {D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_KEEP,
                                               D3D11_COMPARISON_ALWAYS};
        FrontFace = op;
        BackFace = op;
    }
};

struct CD3D11_BLEND_DESC : public D3D11_BLEND_DESC {
    CD3D11_BLEND_DESC() = default;
    explicit CD3D11_BLEND_DESC(const D3D11_BLEND_DESC& o) : D3D11_BLEND_DESC(o) {}
    explicit CD3D11_BLEND_DESC(CD3D11_DEFAULT) {
        AlphaToCoverageEnable = FALSE;
        IndependentBlendEnable = FALSE;
        const D3D11_RENDER_TARGET_BLEND_DESC target = {FALSE,
                                                       D3D11_BLEND_ONE,
                                                       D3D11_BLEND_ZERO,
                                                       D3D11_BLEND_OP_ADD,
                                                       D3D11_BLEND_ONE,
                                                       D3D11_BLEND_ZERO,
                                                       D3D11_BLEND_OP_ADD,
                                                       D3D11_COLOR_WRITE_ENABLE_ALL};
        for (D3D11_RENDER_TARGET_BLEND_DESC& t : RenderTarget) t = target;
    }
};

struct CD3D11_SAMPLER_DESC : public D3D11_SAMPLER_DESC {
    CD3D11_SAMPLER_DESC() = default;
    explicit CD3D11_SAMPLER_DESC(const D3D11_SAMPLER_DESC& o) : D3D11_SAMPLER_DESC(o) {}
    explicit CD3D11_SAMPLER_DESC(CD3D11_DEFAULT) {
        Filter = D3D11_FILTER_MIN_MAG_MIP_LINEAR;
        AddressU = AddressV = AddressW = D3D11_TEXTURE_ADDRESS_CLAMP;
        MipLODBias = 0;
        MaxAnisotropy = 1;
        ComparisonFunc = D3D11_COMPARISON_NEVER;
        BorderColor[0] = BorderColor[1] = BorderColor[2] = BorderColor[3] = 1.0f;
        MinLOD = -D3D11_FLOAT32_MAX;
        MaxLOD = D3D11_FLOAT32_MAX;
    }
};

struct CD3D11_BUFFER_DESC : public D3D11_BUFFER_DESC {
    CD3D11_BUFFER_DESC() = default;
    explicit CD3D11_BUFFER_DESC(const D3D11_BUFFER_DESC& o) : D3D11_BUFFER_DESC(o) {}
    explicit CD3D11_BUFFER_DESC(UINT byteWidth, UINT bindFlags, D3D11_USAGE usage = D3D11_USAGE_DEFAULT,
                                UINT cpuaccessFlags = 0, UINT miscFlags = 0, UINT structureByteStride = 0) {
        ByteWidth = byteWidth;
        Usage = usage;
        BindFlags = bindFlags;
        CPUAccessFlags = cpuaccessFlags;
        MiscFlags = miscFlags;
        StructureByteStride = structureByteStride;
    }
};

struct CD3D11_TEXTURE2D_DESC : public D3D11_TEXTURE2D_DESC {
    CD3D11_TEXTURE2D_DESC() = default;
    explicit CD3D11_TEXTURE2D_DESC(const D3D11_TEXTURE2D_DESC& o) : D3D11_TEXTURE2D_DESC(o) {}
    explicit CD3D11_TEXTURE2D_DESC(DXGI_FORMAT format, UINT width, UINT height, UINT arraySize = 1,
                                   UINT mipLevels = 0, UINT bindFlags = D3D11_BIND_SHADER_RESOURCE,
                                   D3D11_USAGE usage = D3D11_USAGE_DEFAULT, UINT cpuaccessFlags = 0,
                                   UINT sampleCount = 1, UINT sampleQuality = 0, UINT miscFlags = 0) {
        Width = width;
        Height = height;
        MipLevels = mipLevels;
        ArraySize = arraySize;
        Format = format;
        SampleDesc.Count = sampleCount;
        SampleDesc.Quality = sampleQuality;
        Usage = usage;
        BindFlags = bindFlags;
        CPUAccessFlags = cpuaccessFlags;
        MiscFlags = miscFlags;
    }
};

struct CD3D11_VIEWPORT : public D3D11_VIEWPORT {
    CD3D11_VIEWPORT() = default;
    explicit CD3D11_VIEWPORT(const D3D11_VIEWPORT& o) : D3D11_VIEWPORT(o) {}
    explicit CD3D11_VIEWPORT(FLOAT topLeftX, FLOAT topLeftY, FLOAT width, FLOAT height,
                             FLOAT minDepth = D3D11_MIN_DEPTH, FLOAT maxDepth = D3D11_MAX_DEPTH) {
        TopLeftX = topLeftX;
        TopLeftY = topLeftY;
        Width = width;
        Height = height;
        MinDepth = minDepth;
        MaxDepth = maxDepth;
    }
};

struct CD3D11_SHADER_RESOURCE_VIEW_DESC : public D3D11_SHADER_RESOURCE_VIEW_DESC {
    CD3D11_SHADER_RESOURCE_VIEW_DESC() = default;
    explicit CD3D11_SHADER_RESOURCE_VIEW_DESC(const D3D11_SHADER_RESOURCE_VIEW_DESC& o)
        : D3D11_SHADER_RESOURCE_VIEW_DESC(o) {}
    explicit CD3D11_SHADER_RESOURCE_VIEW_DESC(D3D11_SRV_DIMENSION viewDimension,
                                              DXGI_FORMAT format = DXGI_FORMAT_UNKNOWN, UINT mostDetailedMip = 0,
                                              UINT mipLevels = (UINT)-1, UINT firstArraySlice = 0,
                                              UINT arraySize = (UINT)-1, UINT flags = 0) {
        Format = format;
        ViewDimension = viewDimension;
        BufferEx = {};
        switch (viewDimension) {
            case D3D11_SRV_DIMENSION_TEXTURE2DARRAY:
                Texture2DArray = {mostDetailedMip, mipLevels, firstArraySlice, arraySize};
                break;
            case D3D11_SRV_DIMENSION_TEXTURE2DMS:
                break;
            case D3D11_SRV_DIMENSION_BUFFEREX:
                BufferEx = {mostDetailedMip, mipLevels, flags};
                break;
            default:  // every other texture dimension starts with these two fields
                Texture2D = {mostDetailedMip, mipLevels};
                break;
        }
    }
};

struct CD3D11_RENDER_TARGET_VIEW_DESC : public D3D11_RENDER_TARGET_VIEW_DESC {
    CD3D11_RENDER_TARGET_VIEW_DESC() = default;
    explicit CD3D11_RENDER_TARGET_VIEW_DESC(const D3D11_RENDER_TARGET_VIEW_DESC& o)
        : D3D11_RENDER_TARGET_VIEW_DESC(o) {}
    explicit CD3D11_RENDER_TARGET_VIEW_DESC(D3D11_RTV_DIMENSION viewDimension,
                                            DXGI_FORMAT format = DXGI_FORMAT_UNKNOWN, UINT mipSlice = 0,
                                            UINT firstArraySlice = 0, UINT arraySize = (UINT)-1) {
        Format = format;
        ViewDimension = viewDimension;
        Texture3D = {mipSlice, firstArraySlice, arraySize};
    }
};

struct CD3D11_DEPTH_STENCIL_VIEW_DESC : public D3D11_DEPTH_STENCIL_VIEW_DESC {
    CD3D11_DEPTH_STENCIL_VIEW_DESC() = default;
    explicit CD3D11_DEPTH_STENCIL_VIEW_DESC(const D3D11_DEPTH_STENCIL_VIEW_DESC& o)
        : D3D11_DEPTH_STENCIL_VIEW_DESC(o) {}
    explicit CD3D11_DEPTH_STENCIL_VIEW_DESC(D3D11_DSV_DIMENSION viewDimension,
                                            DXGI_FORMAT format = DXGI_FORMAT_UNKNOWN, UINT mipSlice = 0,
                                            UINT firstArraySlice = 0, UINT arraySize = (UINT)-1, UINT flags = 0) {
        Format = format;
        ViewDimension = viewDimension;
        Flags = flags;
        Texture2DArray = {mipSlice, firstArraySlice, arraySize};
    }
};

#endif
