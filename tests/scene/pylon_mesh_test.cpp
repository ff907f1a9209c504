// The generated pylon mesh, loaded as the program loads it, against the wire table.
#include <gtest/gtest.h>

#include <algorithm>
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "gfx/mesh.h"
#include "readback.h"
#include "graphics_fixture.h"
#include "scene/wire_anchors.h"

namespace quarvel::test {
namespace {

template <typename T>
std::vector<T> ReadBuffer(ID3D11Buffer* buffer, size_t count) {
    const std::vector<uint8_t> bytes = quarvel::test::ReadBufferBytes(buffer);
    std::vector<T> out(std::min(count, bytes.size() / sizeof(T)));
    memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
    return out;
}

class ScenePylonMeshTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenGraphics(64, 64, false));
        mesh = LoadMesh();
        ASSERT_NE(mesh, nullptr);
        vertices = ReadBuffer<MeshVertex>(mesh->vertexBuffer, (size_t)mesh->vertexCount);
        indices = ReadBuffer<UINT32>(mesh->indexBuffer, (size_t)mesh->indexCount);
        ASSERT_EQ(vertices.size(), (size_t)mesh->vertexCount);
        ASSERT_EQ(indices.size(), (size_t)mesh->indexCount);
    }
    void TearDown() override {
        if (mesh) {
            mesh->vertexBuffer->Release();
            mesh->indexBuffer->Release();
            free(mesh);
        }
        CloseGraphics();
    }

    // Vertices within `radius` of a point given relative to where the scene stands the
    // pylon (its mesh origin is kPylonBaseY below that).
    int VerticesNear(float x, float y, float z, float radius) const {
        int count = 0;
        for (const MeshVertex& v : vertices) {
            const float dx = v.x - x, dy = v.y + kPylonBaseY - y, dz = v.z - z;
            count += dx * dx + dy * dy + dz * dz <= radius * radius;
        }
        return count;
    }

    Mesh* mesh = nullptr;
    std::vector<MeshVertex> vertices;
    std::vector<UINT32> indices;
};

TEST_F(ScenePylonMeshTest, InsulatorStringsEndAtTheWireAnchors) {
    for (int i = 0; i < kWireAnchorCount; ++i) {
        const WireAnchor& a = wireAnchors[i];
        // The end of the string, where the scene's insulator box and wire attach ...
        EXPECT_GE(VerticesNear(a.x, a.y, a.z, 0.03f), 4) << "anchor " << i + 1;
        // ... hanging from a cross-arm above it, with nothing below it for the wire to cut.
        EXPECT_GE(VerticesNear(a.x, a.y + 0.25f, a.z, 0.06f), 4) << "anchor " << i + 1;
        for (const MeshVertex& v : vertices) {
            const float y = v.y + kPylonBaseY;
            if (fabsf(v.x - a.x) < 0.06f && fabsf(v.z - a.z) < 0.06f && y < a.y - 0.03f && y > a.y - 0.6f)
                FAIL() << "anchor " << i + 1 << " has mesh below it at y " << y;
        }
    }
}

// Front faces are clockwise as seen from outside (the rasterizer's default), so the
// back-face culling the mesh draw uses keeps the outer side of every beam.
TEST_F(ScenePylonMeshTest, TrianglesFaceOutwards) {
    for (size_t t = 0; t + 2 < indices.size(); t += 3) {
        const MeshVertex &a = vertices[indices[t]], &b = vertices[indices[t + 1]], &c = vertices[indices[t + 2]];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        const float nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        ASSERT_GT(nx * a.nx + ny * a.ny + nz * a.nz, 0.0f) << "triangle " << t / 3;
    }
}

}  // namespace
}  // namespace quarvel::test
