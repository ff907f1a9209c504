// The 16:9 viewport rule, the shared cube data and the boxes built from it.
#include <gtest/gtest.h>
#include <string.h>

#include <set>
#include <tuple>

#include "draw/box_geometry.h"
#include "gfx/cube_data.h"
#include "gfx/viewport.h"

namespace {

void ExpectViewport(INT32 width, INT32 height, float x, float y, float w, float h) {
    const D3D11_VIEWPORT v = LetterboxViewport(width, height);
    SCOPED_TRACE(testing::Message() << width << "x" << height);
    EXPECT_NEAR(v.TopLeftX, x, 0.01f);
    EXPECT_NEAR(v.TopLeftY, y, 0.01f);
    EXPECT_NEAR(v.Width, w, 0.01f);
    EXPECT_NEAR(v.Height, h, 0.01f);
    EXPECT_EQ(v.MinDepth, 0.0f);
    EXPECT_EQ(v.MaxDepth, 1.0f);
}

TEST(LetterboxViewport, CentresTheSixteenByNineArea) {
    ExpectViewport(1920, 1080, 0, 0, 1920, 1080);
    ExpectViewport(1280, 720, 0, 0, 1280, 720);
    ExpectViewport(2560, 1080, 320, 0, 1920, 1080);  // bars left and right
    ExpectViewport(1366, 768, 0.333f, 0, 1365.333f, 768);
    ExpectViewport(640, 480, 0, 60, 640, 360);
}

TEST(CubeData, EachFaceHasItsOwnFourVerticesAndNormal) {
    std::set<std::tuple<float, float, float, float, float, float, float, float>> distinct;
    for (int face = 0; face < 6; ++face) {
        const MeshVertex& first = cubeVertexData[face * 4];
        for (int k = 0; k < 4; ++k) {
            const MeshVertex& v = cubeVertexData[face * 4 + k];
            distinct.insert({v.x, v.y, v.z, v.u, v.v, v.nx, v.ny, v.nz});
            EXPECT_EQ(v.nx, first.nx);
            EXPECT_EQ(v.ny, first.ny);
            EXPECT_EQ(v.nz, first.nz);
            // Every corner lies on the face its normal points out of.
            EXPECT_EQ(v.x * v.nx + v.y * v.ny + v.z * v.nz, 1.0f) << "vertex " << face * 4 + k;
        }
    }
    EXPECT_EQ(distinct.size(), 24u);
    // Each face's triangles use only that face's vertices.
    for (int t = 0; t < 12; ++t)
        for (int k = 0; k < 3; ++k) EXPECT_EQ(cubeIndexData[t * 3 + k] / 4, t / 2) << "triangle " << t;
}

TEST(BoxGeometryTest, ExtentsOfTwoGiveTheUnitCubeExactly) {
    MeshVertex box[24];
    BuildBoxVertices(box, 2.0f, 2.0f, 2.0f);
    EXPECT_EQ(memcmp(box, cubeVertexData, sizeof(box)), 0);
}

}  // namespace
