// What the 2D quads, boxes and strips write into their buffers, and the text pen rounding.
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include "draw/box_geometry.h"
#include "draw/screen_geometry.h"
#include "draw/text.h"
#include "gfx/cube_data.h"

namespace {

void ExpectVertex(const ScreenVertex& v, float x, float y, float u, float vv) {
    EXPECT_NEAR(v.x, x, 1e-6f);
    EXPECT_NEAR(v.y, y, 1e-6f);
    EXPECT_EQ(v.z, 0.0f);
    EXPECT_EQ(v.u, u);
    EXPECT_EQ(v.v, vv);
}

TEST(ScreenGeometryTest, RotatedSpriteUnturnedAndAQuarterTurn) {
    ScreenVertex turned[4], plain[4];
    BuildRotatedSpriteQuad(turned, 400.0f, 300.0f, 134.0f, 80.0f, 0.0f);
    BuildSpriteQuad(plain, 400.0f - 67.0f, 300.0f - 40.0f, 134.0f, 80.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    // The same corners, listed top-left, top-right, bottom-left, bottom-right.
    const int sameCorner[4] = {1, 3, 0, 2};
    for (int i = 0; i < 4; ++i) ExpectVertex(turned[i], plain[sameCorner[i]].x, plain[sameCorner[i]].y,
                                             plain[sameCorner[i]].u, plain[sameCorner[i]].v);
    // A quarter turn puts the image's top edge (corners 0 and 1) on the left, running upwards.
    BuildRotatedSpriteQuad(turned, 640.0f, 360.0f, 200.0f, 100.0f, XM_PIDIV2);
    ExpectVertex(turned[0], VirtualToClipX(590.0f), VirtualToClipY(460.0f), 0.0f, 0.0f);
    ExpectVertex(turned[1], VirtualToClipX(590.0f), VirtualToClipY(260.0f), 1.0f, 0.0f);
    ExpectVertex(turned[3], VirtualToClipX(690.0f), VirtualToClipY(260.0f), 1.0f, 1.0f);
}

TEST(BoxGeometryTest, ExtentsOfTwoGiveTheUnitCubeExactly) {
    MeshVertex box[24];
    BuildBoxVertices(box, 2.0f, 2.0f, 2.0f);
    EXPECT_EQ(memcmp(box, cubeVertexData, sizeof(box)), 0);
}

TEST(SagStripTest, AmplitudeZeroIsAStraightBarOfFiftyBoxes) {
    const float sx = 0.4f, sy = 0.05f;
    static MeshVertex strip[kSagStripVertices];
    BuildSagStripVertices(strip, sx, sy, 0.02f, 0.0f);
    float minX = 1e9f, maxX = -1e9f;
    for (int i = 0; i < kSagStripVertices; ++i) {
        EXPECT_FLOAT_EQ(fabsf(strip[i].y), sy * 0.5f);
        // Box i spans (2i - 1) sx / 2 to (2i + 1) sx / 2.
        EXPECT_NEAR(strip[i].x, (2 * (i / 24) + cubeVertexData[i % 24].x) * sx * 0.5f, 1e-5f);
        minX = fminf(minX, strip[i].x);
        maxX = fmaxf(maxX, strip[i].x);
    }
    EXPECT_NEAR(minX, -sx * 0.5f, 1e-6f);
    EXPECT_NEAR(maxX, 99.0f * sx * 0.5f, 1e-5f);
}

TEST(SagStripTest, EndsStayUpAndTheMiddleJointIsLowered) {
    const float sy = 0.05f, a = 250.0f;
    static MeshVertex strip[kSagStripVertices];
    BuildSagStripVertices(strip, 0.4f, sy, 0.02f, a);
    for (int j = 0; j < 24; ++j) {
        const float py = cubeVertexData[j].y;
        if (cubeVertexData[j].x == -1.0f) {
            EXPECT_FLOAT_EQ(strip[j].y, py * sy * 0.5f);  // sin 0
            // The joint of boxes 24 and 25 is a quarter turn, lowered by a * sy / 2.
            EXPECT_NEAR(strip[25 * 24 + j].y, (py - a) * sy * 0.5f, 1e-4f);
        } else {
            // sin(50 k) is about 6e-7 (k is a little under pi / 50): a millionth of the sag.
            EXPECT_NEAR(strip[49 * 24 + j].y, py * sy * 0.5f, a * sy * 0.5f * 1e-6f);
            EXPECT_NEAR(strip[24 * 24 + j].y, (py - a) * sy * 0.5f, 1e-4f);
        }
        // The slope does not tilt the normals.
        EXPECT_EQ(memcmp(&strip[24 * 24 + j].nx, &cubeVertexData[j].nx, 3 * sizeof(float)), 0);
    }
}

}  // namespace
