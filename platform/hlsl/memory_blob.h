// ID3DBlob over a heap buffer: what D3DCreateBlob and D3DCompile hand out.
#pragma once

#include <d3dcommon.h>

#include <atomic>
#include <cstdint>
#include <memory>

namespace quarvel::hlsl {

class MemoryBlob final : public ID3DBlob {
public:
    // Null when the bytes cannot be allocated. The new blob holds one reference.
    static MemoryBlob* Create(SIZE_T size);
    // A blob holding a copy of `size` bytes at `data`; null when out of memory.
    static MemoryBlob* Copy(const void* data, SIZE_T size);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    LPVOID STDMETHODCALLTYPE GetBufferPointer() override;
    SIZE_T STDMETHODCALLTYPE GetBufferSize() override;

private:
    MemoryBlob(std::unique_ptr<uint8_t[]> bytes, SIZE_T size) : bytes_(std::move(bytes)), size_(size) {}
    ~MemoryBlob() override = default;

    std::atomic<ULONG> refs_{1};
    std::unique_ptr<uint8_t[]> bytes_;
    SIZE_T size_;
};

}  // namespace quarvel::hlsl
