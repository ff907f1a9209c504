#include "view.h"

namespace quarvel::d3d11 {

Texture2D* AsTexture2D(ID3D11Resource* resource) {
    return resource ? dynamic_cast<Texture2D*>(resource) : nullptr;
}

}  // namespace quarvel::d3d11
