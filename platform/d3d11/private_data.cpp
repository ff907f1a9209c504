#include "private_data.h"

#include <dxgitype.h>

#include <cstring>

namespace quarvel::d3d11 {

PrivateData::~PrivateData() {
    for (Entry& e : entries_)
        if (e.object) e.object->Release();
}

void PrivateData::Remove(REFGUID guid) {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].guid == guid) {
            if (entries_[i].object) entries_[i].object->Release();
            entries_.erase(entries_.begin() + static_cast<ptrdiff_t>(i));
            return;
        }
    }
}

HRESULT PrivateData::Get(REFGUID guid, UINT* size, void* data) const {
    if (!size) return E_INVALIDARG;
    for (const Entry& e : entries_) {
        if (e.guid != guid) continue;
        const UINT needed = e.object ? static_cast<UINT>(sizeof(IUnknown*)) : static_cast<UINT>(e.bytes.size());
        if (!data) {
            *size = needed;
            return S_OK;
        }
        if (*size < needed) {
            *size = needed;
            return DXGI_ERROR_MORE_DATA;
        }
        *size = needed;
        if (e.object) {
            e.object->AddRef();
            std::memcpy(data, &e.object, sizeof(IUnknown*));
        } else if (needed) {
            std::memcpy(data, e.bytes.data(), needed);
        }
        return S_OK;
    }
    *size = 0;
    return DXGI_ERROR_NOT_FOUND;
}

HRESULT PrivateData::Set(REFGUID guid, UINT size, const void* data) {
    if (size && !data) return E_INVALIDARG;
    Remove(guid);
    if (!data) return S_OK;
    Entry e;
    e.guid = guid;
    e.bytes.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    entries_.push_back(std::move(e));
    return S_OK;
}

HRESULT PrivateData::SetInterface(REFGUID guid, const IUnknown* object) {
    Remove(guid);
    if (!object) return S_OK;
    Entry e;
    e.guid = guid;
    e.object = const_cast<IUnknown*>(object);
    e.object->AddRef();
    entries_.push_back(std::move(e));
    return S_OK;
}

}  // namespace quarvel::d3d11
