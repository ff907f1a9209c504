// What the three view classes share: the reference on the viewed texture (a view keeps its
// resource alive, as in Direct3D) and GetResource. The reference is a private one, like the
// context's: a texture the program has released lives on through its views without holding
// the device, so a view left bound at shutdown cannot keep the device alive in a cycle.
#pragma once

#include <string>

#include "com_object.h"
#include "log.h"
#include "texture2d.h"

namespace quarvel::d3d11 {

// The texture behind a resource pointer the program passed in, or null when it is not a 2D
// texture of this implementation.
Texture2D* AsTexture2D(ID3D11Resource* resource);

// The front half of creating a render-target or a depth-stencil view, whose descriptions have
// the same shape (Format, ViewDimension, Texture2D.MipSlice, Texture2DArray): the resource
// must be a 2D texture bound as `bindFlag`, and a missing description, or an UNKNOWN format,
// takes the texture's own, as Direct3D fills them in. `kinds` names the views in the message
// for other resources ("render targets"); `bindFlagName` is the flag's name.
template <typename Desc, typename Dimension>
HRESULT TargetViewTexture(const char* function, const char* kinds, UINT bindFlag, const char* bindFlagName,
                          ID3D11Resource* resource, const Desc* descIn, Dimension texture2D,
                          Dimension texture2DArray, Texture2D** texture, Desc* desc) {
    if (!resource) return LogInvalid(function, "pResource is null"), E_INVALIDARG;
    *texture = AsTexture2D(resource);
    if (!*texture) {
        const std::string what = std::string(kinds) + " that are not 2D textures";
        LogUnsupported(function, what.c_str());
        return E_INVALIDARG;
    }
    const D3D11_TEXTURE2D_DESC& td = (*texture)->Desc();
    if (!(td.BindFlags & bindFlag))
        return LogInvalid(function, "the texture was not created with %s", bindFlagName), E_INVALIDARG;
    *desc = Desc{};
    if (descIn) {
        *desc = *descIn;
        if (desc->Format == DXGI_FORMAT_UNKNOWN) desc->Format = td.Format;
    } else {
        desc->Format = td.Format;
        if (td.ArraySize > 1) {
            desc->ViewDimension = texture2DArray;
            desc->Texture2DArray = {0, 0, td.ArraySize};
        } else {
            desc->ViewDimension = texture2D;
        }
    }
    return S_OK;
}

template <typename Interface>
class View : public DeviceChild<Interface> {
public:
    void STDMETHODCALLTYPE GetResource(ID3D11Resource** out) override {
        if (!out) return;
        *out = texture_.Get();
        texture_->AddRef();
    }
    Texture2D* Texture() const { return texture_.Get(); }
    uint64_t ResourceId() const { return texture_->Id(); }

protected:
    View(Device* device, Texture2D* texture) : DeviceChild<Interface>(device), texture_(texture) {}

private:
    PrivateRef<Texture2D> texture_;
};

}  // namespace quarvel::d3d11
