#include "memory_blob.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace quarvel::hlsl {

MemoryBlob* MemoryBlob::Create(SIZE_T size) {
    // The programs these blobs serve are 32-bit, where no blob can reach 4 GiB: a larger
    // request fails here, as it would there, instead of being put to the allocator.
    if (size > UINT32_MAX) return nullptr;
    // A zero-byte blob still gets a valid (one-byte) buffer, so GetBufferPointer is never null.
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size ? size : 1]());
    if (!bytes) return nullptr;
    return new (std::nothrow) MemoryBlob(std::move(bytes), size);
}

MemoryBlob* MemoryBlob::Copy(const void* data, SIZE_T size) {
    MemoryBlob* blob = Create(size);
    if (blob && size) std::memcpy(blob->bytes_.get(), data, size);
    return blob;
}

HRESULT STDMETHODCALLTYPE MemoryBlob::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(ID3D10Blob)) {
        AddRef();
        *ppvObject = static_cast<ID3DBlob*>(this);
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE MemoryBlob::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE MemoryBlob::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

LPVOID STDMETHODCALLTYPE MemoryBlob::GetBufferPointer() { return bytes_.get(); }

SIZE_T STDMETHODCALLTYPE MemoryBlob::GetBufferSize() { return size_; }

}  // namespace quarvel::hlsl
