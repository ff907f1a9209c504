// The lookup that makes Create*State return the existing object for a description it has
// seen, as Direct3D does, and the limit of 4096 distinct objects of a kind.
#pragma once

#include <map>
#include <string>

#include "log.h"

namespace quarvel::d3d11 {

template <typename Desc>
std::string StateKey(const Desc& normalized) {
    return std::string(reinterpret_cast<const char*>(&normalized), sizeof(Desc));
}

// Returns the cached object (with a new reference) in `out`, or S_OK with *out null when a
// new one may be made, or the Direct3D error for too many distinct objects.
template <typename State, typename Interface>
HRESULT FindState(std::map<std::string, State*>& cache, const std::string& key, const char* function,
                  Interface** out) {
    auto it = cache.find(key);
    if (it != cache.end()) {
        it->second->AddRef();
        *out = it->second;
        return S_OK;
    }
    if (cache.size() >= 4096) {
        LogInvalid(function, "more than 4096 distinct state objects of this kind");
        return D3D11_ERROR_TOO_MANY_UNIQUE_STATE_OBJECTS;
    }
    return S_OK;
}

}  // namespace quarvel::d3d11
