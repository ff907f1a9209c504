// IUnknown, the root of every COM interface the Direct3D stand-ins hand out, and __uuidof.
#pragma once

#include <windows.h>

#ifdef __cplusplus
#include <type_traits>

// Interface ids. Each interface gets its real IID through QUARVEL_DECLARE_UUID, so
// `__uuidof(ID3D11Texture2D)` and QueryInterface behave as on Windows.
template <typename T>
struct QuarvelInterfaceId;
#define QUARVEL_DECLARE_UUID(type, d1, d2, d3, b0, b1, b2, b3, b4, b5, b6, b7)       \
    struct type;                                                                       \
    template <>                                                                        \
    struct QuarvelInterfaceId<type> {                                                  \
        static constexpr GUID value = {d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}}; \
    };
#ifndef __uuidof
#define __uuidof(type) (QuarvelInterfaceId<std::remove_cv_t<std::remove_pointer_t<type>>>::value)
#endif

inline bool IsEqualGUID(const GUID& a, const GUID& b) { return memcmp(&a, &b, sizeof(GUID)) == 0; }
#define IsEqualIID IsEqualGUID
inline bool operator==(const GUID& a, const GUID& b) { return IsEqualGUID(a, b); }
inline bool operator!=(const GUID& a, const GUID& b) { return !IsEqualGUID(a, b); }

QUARVEL_DECLARE_UUID(IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)
struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    virtual ~IUnknown() = default;
};
#endif
