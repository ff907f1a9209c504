#include "failing_device.h"

#include "device_calls.h"

namespace gfx_test {
namespace {

int creationCalls = 0;

// Each creation call counts, and the one numbered failAt fails as a driver out of memory
// would; every other call goes to the real device unchanged.
#define QUARVEL_CREATE(name, params, args) \
    HRESULT STDMETHODCALLTYPE name params override { return Injected(o) ? E_OUTOFMEMORY : real->name args; }
#define QUARVEL_FORWARD(type, name, params, args) \
    type STDMETHODCALLTYPE name params override { return real->name args; }

class FailingDevice final : public ID3D11Device {
public:
    FailingDevice(ID3D11Device* real, int failAt) : real(real), failAt(failAt) {}

    ULONG STDMETHODCALLTYPE Release() override {
        ID3D11Device* device = real;
        const ULONG left = device->Release();
        if (left == 0) delete this;
        return left;
    }
    QUARVEL_FORWARD(HRESULT, QueryInterface, (REFIID riid, void** o), (riid, o))
    QUARVEL_FORWARD(ULONG, AddRef, (), ())
    QUARVEL_DEVICE_CREATION_CALLS(QUARVEL_CREATE)
    QUARVEL_DEVICE_OTHER_CALLS(QUARVEL_FORWARD)

private:
    template <typename T>
    bool Injected(T** out) {
        if (++creationCalls != failAt) return false;
        if (out) *out = nullptr;
        return true;
    }

    ID3D11Device* real;
    int failAt;
};

}  // namespace

ID3D11Device* WrapDevice(ID3D11Device* real, int failAt) {
    creationCalls = 0;
    return new FailingDevice(real, failAt);
}

int CreationCalls() { return creationCalls; }

}  // namespace gfx_test
