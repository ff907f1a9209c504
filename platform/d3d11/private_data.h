// The data and interfaces that SetPrivateData / SetPrivateDataInterface attach to an object
// (a debug name, mostly), with the results Direct3D gives for a missing entry or a short
// buffer.
#pragma once

#include <unknwn.h>

#include <cstdint>
#include <vector>

namespace quarvel::d3d11 {

class PrivateData {
public:
    PrivateData() = default;
    PrivateData(const PrivateData&) = delete;
    PrivateData& operator=(const PrivateData&) = delete;
    ~PrivateData();

    HRESULT Get(REFGUID guid, UINT* size, void* data) const;
    // A null `data` with size 0 removes the entry.
    HRESULT Set(REFGUID guid, UINT size, const void* data);
    HRESULT SetInterface(REFGUID guid, const IUnknown* object);

private:
    struct Entry {
        GUID guid;
        std::vector<uint8_t> bytes;
        IUnknown* object = nullptr;  // owned reference when set through SetInterface
    };
    void Remove(REFGUID guid);
    std::vector<Entry> entries_;
};

}  // namespace quarvel::d3d11
