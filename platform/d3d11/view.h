// What the three view classes share: the reference on the viewed texture (a view keeps its
// resource alive, as in Direct3D) and GetResource. The reference is a private one, like the
// context's: a texture the program has released lives on through its views without holding
// the device, so a view left bound at shutdown cannot keep the device alive in a cycle.
#pragma once

#include "com_object.h"
#include "texture2d.h"

namespace quarvel::d3d11 {

// The texture behind a resource pointer the program passed in, or null when it is not a 2D
// texture of this implementation.
Texture2D* AsTexture2D(ID3D11Resource* resource);

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
