// The matrix routines against hand-computed results; the projection and the look-to view are
// the road-scene test's to check through the pixels they place.
#include <gtest/gtest.h>
#include <math.h>

#include "draw/xmath.h"

namespace {

// Entries through the storable form, which is all DirectXMath itself offers.
void ExpectMatrixNear(const XMMATRIX& actual, const float expected[4][4], float tolerance) {
    XMFLOAT4X4 a;
    XMStoreFloat4x4(&a, actual);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], expected[r][c], tolerance) << "row " << r << " col " << c;
}

TEST(XMathTest, SinCosAndRotationAboutY) {
    for (float angle = -20.0f; angle <= 20.0f; angle += 0.0137f) {
        float s, c;
        XMScalarSinCos(&s, &c, angle);
        EXPECT_NEAR(s, sin((double)angle), 2e-6) << angle;
        EXPECT_NEAR(c, cos((double)angle), 2e-6) << angle;
    }
    float s, c;
    XMScalarSinCos(&s, &c, 0.3f);
    const float y[4][4] = {{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}};
    ExpectMatrixNear(XMMatrixRotationY(0.3f), y, 0.0f);
}

TEST(XMathTest, InverseTimesMatrixIsIdentity) {
    const XMMATRIX view = XMMatrixLookToLH(XMVectorSet(3, -1, 7, 0), XMVectorSet(-2, 1, 4, 0), XMVectorSet(0, 1, 0, 0));
    const XMMATRIX projection = XMMatrixPerspectiveFovLH(0.9f, 1.5f, 0.1f, 80.0f);
    const XMMATRIX turned = XMMatrixMultiply(XMMatrixRotationZ(0.7f), XMMatrixTranslation(1, 2, 3));
    const float identity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    for (const XMMATRIX& m : {view, turned, XMMatrixMultiply(view, projection)}) {
        // Single precision over entries of up to about 10.
        ExpectMatrixNear(XMMatrixMultiply(XMMatrixInverse(NULL, m), m), identity, 1e-4f);
        ExpectMatrixNear(XMMatrixMultiply(m, XMMatrixInverse(NULL, m)), identity, 1e-4f);
    }
    XMVECTOR determinant;
    XMMatrixInverse(&determinant, XMMatrixScaling(2, 2, 2));
    EXPECT_FLOAT_EQ(XMVectorGetX(determinant), 8.0f);
}

}  // namespace
