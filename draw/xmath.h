// Single-precision vector and matrix routines.
//
// With Microsoft's compiler this is DirectXMath itself. Elsewhere DirectXMath is not available
// (mingw-w64 ships only its types, not its routines), so the few routines the system uses are
// written out here with the same names, argument order and results: row vectors (p x M),
// left-handed, translation in the fourth row. Only portable names may be used by system code,
// so that both builds compile the same sources.
#pragma once

#include <float.h>

// Every float operation must round to single precision (SSE2 scalar math on 32-bit x86, not
// the x87 stack's extended precision).
#if defined(FLT_EVAL_METHOD)
static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must be evaluated in single precision");
#endif

#if defined(_MSC_VER)

#include <DirectXMath.h>
using namespace DirectX;

#else

#include <math.h>
#include <stdint.h>

namespace DirectX {

constexpr float XM_PI = 3.141592654f;
constexpr float XM_2PI = 6.283185307f;
constexpr float XM_1DIVPI = 0.318309886f;
constexpr float XM_1DIV2PI = 0.159154943f;
constexpr float XM_PIDIV2 = 1.570796327f;
constexpr float XM_PIDIV4 = 0.785398163f;

// DirectXMath's XMVECTOR is an opaque SIMD register; code reads it only through the
// accessor functions, so a plain four-float record behaves the same.
struct XMVECTOR {
    float v[4];
};
using FXMVECTOR = const XMVECTOR&;
using GXMVECTOR = const XMVECTOR&;
using HXMVECTOR = const XMVECTOR&;
using CXMVECTOR = const XMVECTOR&;

struct XMFLOAT2 {
    float x, y;
    XMFLOAT2() = default;
    constexpr XMFLOAT2(float _x, float _y) : x(_x), y(_y) {}
};

struct XMFLOAT3 {
    float x, y, z;
    XMFLOAT3() = default;
    constexpr XMFLOAT3(float _x, float _y, float _z) : x(_x), y(_y), z(_z) {}
};

struct XMFLOAT4 {
    float x, y, z, w;
    XMFLOAT4() = default;
    constexpr XMFLOAT4(float _x, float _y, float _z, float _w) : x(_x), y(_y), z(_z), w(_w) {}
};

struct XMMATRIX {
    XMVECTOR r[4];
    XMMATRIX() = default;
    constexpr XMMATRIX(float m00, float m01, float m02, float m03, float m10, float m11, float m12,
                       float m13, float m20, float m21, float m22, float m23, float m30, float m31,
                       float m32, float m33)
        : r{{{m00, m01, m02, m03}}, {{m10, m11, m12, m13}}, {{m20, m21, m22, m23}}, {{m30, m31, m32, m33}}} {}
    constexpr XMMATRIX(const XMVECTOR& r0, const XMVECTOR& r1, const XMVECTOR& r2, const XMVECTOR& r3)
        : r{r0, r1, r2, r3} {}
};
using FXMMATRIX = const XMMATRIX&;
using CXMMATRIX = const XMMATRIX&;

struct XMFLOAT4X4 {
    float m[4][4];
};

// --- scalars ---

inline constexpr float XMConvertToRadians(float degrees) { return degrees * (XM_PI / 180.0f); }

// The same polynomial sine and cosine as DirectXMath, so that angle-derived values (the
// projection, rotations, the wheel angle) match what the Windows build computes.
inline void XMScalarSinCos(float* pSin, float* pCos, float value) {
    float quotient = XM_1DIV2PI * value;
    if (value >= 0.0f)
        quotient = static_cast<float>(static_cast<int>(quotient + 0.5f));
    else
        quotient = static_cast<float>(static_cast<int>(quotient - 0.5f));
    float y = value - XM_2PI * quotient;

    float sign;
    if (y > XM_PIDIV2) {
        y = XM_PI - y;
        sign = -1.0f;
    } else if (y < -XM_PIDIV2) {
        y = -XM_PI - y;
        sign = -1.0f;
    } else {
        sign = +1.0f;
    }
    float y2 = y * y;
    *pSin = (((((-2.3889859e-08f * y2 + 2.7525562e-06f) * y2 - 0.00019840874f) * y2 + 0.0083333310f) * y2 -
              0.16666667f) * y2 + 1.0f) * y;
    float p = ((((-2.6051615e-07f * y2 + 2.4760495e-05f) * y2 - 0.0013888378f) * y2 + 0.041666638f) * y2 - 0.5f) *
                  y2 + 1.0f;
    *pCos = sign * p;
}

// --- vectors ---

inline XMVECTOR XMVectorSet(float x, float y, float z, float w) { return XMVECTOR{{x, y, z, w}}; }
inline XMVECTOR XMVectorZero() { return XMVECTOR{{0.0f, 0.0f, 0.0f, 0.0f}}; }
inline XMVECTOR XMVectorReplicate(float value) { return XMVECTOR{{value, value, value, value}}; }
inline float XMVectorGetX(FXMVECTOR v) { return v.v[0]; }
inline float XMVectorGetY(FXMVECTOR v) { return v.v[1]; }
inline float XMVectorGetZ(FXMVECTOR v) { return v.v[2]; }
inline float XMVectorGetW(FXMVECTOR v) { return v.v[3]; }

inline XMVECTOR XMLoadFloat3(const XMFLOAT3* p) { return XMVECTOR{{p->x, p->y, p->z, 0.0f}}; }
inline XMVECTOR XMLoadFloat4(const XMFLOAT4* p) { return XMVECTOR{{p->x, p->y, p->z, p->w}}; }
inline void XMStoreFloat3(XMFLOAT3* p, FXMVECTOR v) {
    p->x = v.v[0];
    p->y = v.v[1];
    p->z = v.v[2];
}
inline void XMStoreFloat4(XMFLOAT4* p, FXMVECTOR v) {
    p->x = v.v[0];
    p->y = v.v[1];
    p->z = v.v[2];
    p->w = v.v[3];
}

inline XMVECTOR XMVectorAdd(FXMVECTOR a, FXMVECTOR b) {
    return XMVECTOR{{a.v[0] + b.v[0], a.v[1] + b.v[1], a.v[2] + b.v[2], a.v[3] + b.v[3]}};
}
inline XMVECTOR XMVectorSubtract(FXMVECTOR a, FXMVECTOR b) {
    return XMVECTOR{{a.v[0] - b.v[0], a.v[1] - b.v[1], a.v[2] - b.v[2], a.v[3] - b.v[3]}};
}
inline XMVECTOR XMVectorMultiply(FXMVECTOR a, FXMVECTOR b) {
    return XMVECTOR{{a.v[0] * b.v[0], a.v[1] * b.v[1], a.v[2] * b.v[2], a.v[3] * b.v[3]}};
}
inline XMVECTOR XMVectorScale(FXMVECTOR v, float s) {
    return XMVECTOR{{v.v[0] * s, v.v[1] * s, v.v[2] * s, v.v[3] * s}};
}
inline XMVECTOR XMVectorNegate(FXMVECTOR v) { return XMVECTOR{{-v.v[0], -v.v[1], -v.v[2], -v.v[3]}}; }

inline XMVECTOR operator+(FXMVECTOR a, FXMVECTOR b) { return XMVectorAdd(a, b); }
inline XMVECTOR operator-(FXMVECTOR a, FXMVECTOR b) { return XMVectorSubtract(a, b); }
inline XMVECTOR operator*(FXMVECTOR a, FXMVECTOR b) { return XMVectorMultiply(a, b); }
inline XMVECTOR operator*(FXMVECTOR v, float s) { return XMVectorScale(v, s); }
inline XMVECTOR operator*(float s, FXMVECTOR v) { return XMVectorScale(v, s); }
inline XMVECTOR operator-(FXMVECTOR v) { return XMVectorNegate(v); }
inline XMVECTOR& operator+=(XMVECTOR& a, FXMVECTOR b) { return a = XMVectorAdd(a, b); }
inline XMVECTOR& operator-=(XMVECTOR& a, FXMVECTOR b) { return a = XMVectorSubtract(a, b); }

// Dot products come back replicated into all four lanes, as DirectXMath returns them.
inline XMVECTOR XMVector3Dot(FXMVECTOR a, FXMVECTOR b) {
    return XMVectorReplicate(a.v[0] * b.v[0] + a.v[1] * b.v[1] + a.v[2] * b.v[2]);
}
inline XMVECTOR XMVector3Cross(FXMVECTOR a, FXMVECTOR b) {
    return XMVECTOR{{a.v[1] * b.v[2] - a.v[2] * b.v[1], a.v[2] * b.v[0] - a.v[0] * b.v[2],
                     a.v[0] * b.v[1] - a.v[1] * b.v[0], 0.0f}};
}
inline XMVECTOR XMVector3Length(FXMVECTOR v) { return XMVectorReplicate(sqrtf(XMVector3Dot(v, v).v[0])); }

// A zero vector stays zero rather than becoming NaN, as in DirectXMath.
inline XMVECTOR XMVector3Normalize(FXMVECTOR v) {
    float length = sqrtf(v.v[0] * v.v[0] + v.v[1] * v.v[1] + v.v[2] * v.v[2]);
    if (!(length > 0.0f))
        return XMVectorZero();
    return XMVECTOR{{v.v[0] / length, v.v[1] / length, v.v[2] / length, v.v[3] / length}};
}

inline XMVECTOR XMVector4Transform(FXMVECTOR v, FXMMATRIX m) {
    XMVECTOR out;
    for (int c = 0; c < 4; ++c)
        out.v[c] = v.v[0] * m.r[0].v[c] + v.v[1] * m.r[1].v[c] + v.v[2] * m.r[2].v[c] + v.v[3] * m.r[3].v[c];
    return out;
}
// w taken as 1, result not divided by w.
inline XMVECTOR XMVector3Transform(FXMVECTOR v, FXMMATRIX m) {
    return XMVector4Transform(XMVectorSet(v.v[0], v.v[1], v.v[2], 1.0f), m);
}
// w taken as 1 and the result divided by its w.
inline XMVECTOR XMVector3TransformCoord(FXMVECTOR v, FXMMATRIX m) {
    XMVECTOR h = XMVector3Transform(v, m);
    return XMVectorScale(h, 1.0f / h.v[3]);
}
// w taken as 0: directions ignore the translation row.
inline XMVECTOR XMVector3TransformNormal(FXMVECTOR v, FXMMATRIX m) {
    return XMVector4Transform(XMVectorSet(v.v[0], v.v[1], v.v[2], 0.0f), m);
}

// --- matrices ---

inline XMMATRIX XMMatrixIdentity() {
    return XMMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
}

inline XMMATRIX XMMatrixMultiply(FXMMATRIX a, CXMMATRIX b) {
    XMMATRIX out;
    for (int i = 0; i < 4; ++i)
        out.r[i] = XMVector4Transform(a.r[i], b);
    return out;
}
inline XMMATRIX operator*(FXMMATRIX a, CXMMATRIX b) { return XMMatrixMultiply(a, b); }

inline XMMATRIX XMMatrixTranspose(FXMMATRIX m) {
    XMMATRIX out;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out.r[i].v[j] = m.r[j].v[i];
    return out;
}

inline XMMATRIX XMMatrixTranslation(float x, float y, float z) {
    return XMMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
}

inline XMMATRIX XMMatrixScaling(float x, float y, float z) {
    return XMMATRIX(x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1);
}

inline XMMATRIX XMMatrixRotationX(float angle) {
    float s, c;
    XMScalarSinCos(&s, &c, angle);
    return XMMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
}

inline XMMATRIX XMMatrixRotationY(float angle) {
    float s, c;
    XMScalarSinCos(&s, &c, angle);
    return XMMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
}

inline XMMATRIX XMMatrixRotationZ(float angle) {
    float s, c;
    XMScalarSinCos(&s, &c, angle);
    return XMMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
}

// Camera axes as the first three columns, the eye moved to the origin by the fourth row.
inline XMMATRIX XMMatrixLookToLH(FXMVECTOR eyePosition, FXMVECTOR eyeDirection, FXMVECTOR upDirection) {
    XMVECTOR z = XMVector3Normalize(eyeDirection);
    XMVECTOR x = XMVector3Normalize(XMVector3Cross(upDirection, z));
    XMVECTOR y = XMVector3Cross(z, x);
    XMVECTOR negEye = XMVectorNegate(eyePosition);
    float dx = XMVector3Dot(x, negEye).v[0];
    float dy = XMVector3Dot(y, negEye).v[0];
    float dz = XMVector3Dot(z, negEye).v[0];
    return XMMATRIX(x.v[0], y.v[0], z.v[0], 0.0f, x.v[1], y.v[1], z.v[1], 0.0f, x.v[2], y.v[2], z.v[2], 0.0f, dx,
                    dy, dz, 1.0f);
}

inline XMMATRIX XMMatrixLookAtLH(FXMVECTOR eyePosition, FXMVECTOR focusPosition, FXMVECTOR upDirection) {
    return XMMatrixLookToLH(eyePosition, XMVectorSubtract(focusPosition, eyePosition), upDirection);
}

inline XMMATRIX XMMatrixPerspectiveFovLH(float fovAngleY, float aspectRatio, float nearZ, float farZ) {
    float sinFov, cosFov;
    XMScalarSinCos(&sinFov, &cosFov, 0.5f * fovAngleY);
    float height = cosFov / sinFov;
    float width = height / aspectRatio;
    float range = farZ / (farZ - nearZ);
    return XMMATRIX(width, 0, 0, 0, 0, height, 0, 0, 0, 0, range, 1.0f, 0, 0, -range * nearZ, 0);
}

// Cofactor expansion by 2x2 sub-determinants. As in DirectXMath the determinant is not
// checked: a singular matrix gives infinities, and the caller decides whether that matters.
inline XMMATRIX XMMatrixInverse(XMVECTOR* pDeterminant, FXMMATRIX m) {
    const float a00 = m.r[0].v[0], a01 = m.r[0].v[1], a02 = m.r[0].v[2], a03 = m.r[0].v[3];
    const float a10 = m.r[1].v[0], a11 = m.r[1].v[1], a12 = m.r[1].v[2], a13 = m.r[1].v[3];
    const float a20 = m.r[2].v[0], a21 = m.r[2].v[1], a22 = m.r[2].v[2], a23 = m.r[2].v[3];
    const float a30 = m.r[3].v[0], a31 = m.r[3].v[1], a32 = m.r[3].v[2], a33 = m.r[3].v[3];

    const float s0 = a00 * a11 - a10 * a01;
    const float s1 = a00 * a12 - a10 * a02;
    const float s2 = a00 * a13 - a10 * a03;
    const float s3 = a01 * a12 - a11 * a02;
    const float s4 = a01 * a13 - a11 * a03;
    const float s5 = a02 * a13 - a12 * a03;
    const float c5 = a22 * a33 - a32 * a23;
    const float c4 = a21 * a33 - a31 * a23;
    const float c3 = a21 * a32 - a31 * a22;
    const float c2 = a20 * a33 - a30 * a23;
    const float c1 = a20 * a32 - a30 * a22;
    const float c0 = a20 * a31 - a30 * a21;

    const float det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (pDeterminant)
        *pDeterminant = XMVectorReplicate(det);
    const float inv = 1.0f / det;

    return XMMATRIX((a11 * c5 - a12 * c4 + a13 * c3) * inv, (-a01 * c5 + a02 * c4 - a03 * c3) * inv,
                    (a31 * s5 - a32 * s4 + a33 * s3) * inv, (-a21 * s5 + a22 * s4 - a23 * s3) * inv,
                    (-a10 * c5 + a12 * c2 - a13 * c1) * inv, (a00 * c5 - a02 * c2 + a03 * c1) * inv,
                    (-a30 * s5 + a32 * s2 - a33 * s1) * inv, (a20 * s5 - a22 * s2 + a23 * s1) * inv,
                    (a10 * c4 - a11 * c2 + a13 * c0) * inv, (-a00 * c4 + a01 * c2 - a03 * c0) * inv,
                    (a30 * s4 - a31 * s2 + a33 * s0) * inv, (-a20 * s4 + a21 * s2 - a23 * s0) * inv,
                    (-a10 * c3 + a11 * c1 - a12 * c0) * inv, (a00 * c3 - a01 * c1 + a02 * c0) * inv,
                    (-a30 * s3 + a31 * s1 - a32 * s0) * inv, (a20 * s3 - a21 * s1 + a22 * s0) * inv);
}

inline void XMStoreFloat4x4(XMFLOAT4X4* p, FXMMATRIX m) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            p->m[i][j] = m.r[i].v[j];
}

inline XMMATRIX XMLoadFloat4x4(const XMFLOAT4X4* p) {
    XMMATRIX out;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out.r[i].v[j] = p->m[i][j];
    return out;
}

}  // namespace DirectX

using namespace DirectX;

#endif
