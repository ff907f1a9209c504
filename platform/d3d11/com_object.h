// Reference counting shared by every device child, modelled on Direct3D 11's: the public
// count is what AddRef/Release return and, while it is above zero, the object holds a
// reference on its device. The context keeps what is bound alive through private
// references, which are invisible to the program; the object is destroyed when both
// counts reach zero.
#pragma once

#include <d3d11.h>

#include <atomic>
#include <cstdint>
#include <typeinfo>

#include "live_objects.h"
#include "private_data.h"

namespace quarvel::d3d11 {

class Device;
void DeviceAddRef(Device* device);
void DeviceRelease(Device* device);
ID3D11Device* DeviceInterface(Device* device);

// A process-wide increasing id, so caches keyed on objects never confuse a destroyed object
// with a new one at the same address.
uint64_t NextObjectId();

// QueryInterface over a fixed list of interfaces the object implements.
template <typename... Interfaces, typename Self>
HRESULT QueryInterfaceFor(Self* self, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    bool found = ((riid == __uuidof(Interfaces) ? (*out = static_cast<Interfaces*>(self), true) : false) || ...);
    if (!found) return E_NOINTERFACE;
    self->AddRef();
    return S_OK;
}

template <typename Interface>
class DeviceChild : public Interface {
public:
    explicit DeviceChild(Device* device) : device_(device), id_(NextObjectId()) {
        DeviceAddRef(device_);
        ObjectCreated(typeid(Interface).name());
    }
    DeviceChild(const DeviceChild&) = delete;
    DeviceChild& operator=(const DeviceChild&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override {
        const ULONG count = ++refs_;
        if (count == 1) {
            DeviceAddRef(device_);
            ObjectRetained(typeid(Interface).name());
        }
        return count;
    }

    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG count = --refs_;
        if (count == 0) {
            ObjectReleased(typeid(Interface).name());
            Device* device = device_;
            if (privateRefs_ == 0) delete this;
            DeviceRelease(device);
        }
        return count;
    }

    void AddPrivateRef() { ++privateRefs_; }
    void ReleasePrivateRef() {
        if (--privateRefs_ == 0 && refs_ == 0) delete this;
    }

    void STDMETHODCALLTYPE GetDevice(ID3D11Device** out) override {
        if (!out) return;
        *out = DeviceInterface(device_);
        (*out)->AddRef();
    }
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID guid, UINT* size, void* data) override {
        return privateData_.Get(guid, size, data);
    }
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID guid, UINT size, const void* data) override {
        return privateData_.Set(guid, size, data);
    }
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID guid, const IUnknown* object) override {
        return privateData_.SetInterface(guid, object);
    }

    Device* Owner() const { return device_; }
    uint64_t Id() const { return id_; }

protected:
    ~DeviceChild() override { ObjectDestroyed(typeid(Interface).name(), false); }

private:
    Device* device_;
    const uint64_t id_;
    std::atomic<ULONG> refs_{1};
    std::atomic<ULONG> privateRefs_{0};
    PrivateData privateData_;
};

// A private (context-held) reference to a device child.
template <typename T>
class PrivateRef {
public:
    PrivateRef() = default;
    explicit PrivateRef(T* object) : object_(object) {
        if (object_) object_->AddPrivateRef();
    }
    PrivateRef(const PrivateRef& other) : PrivateRef(other.object_) {}
    PrivateRef& operator=(const PrivateRef& other) {
        Reset(other.object_);
        return *this;
    }
    ~PrivateRef() { Reset(nullptr); }

    void Reset(T* object) {
        if (object == object_) return;
        if (object) object->AddPrivateRef();
        T* old = object_;
        object_ = object;
        if (old) old->ReleasePrivateRef();
    }
    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

}  // namespace quarvel::d3d11
