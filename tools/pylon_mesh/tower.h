// The transmission tower as a set of straight square beams, in world units relative to
// the pylon's position (the scene places the mesh 0.1 below the ground, so the feet stand
// at y = 0 here), and the triangle mesh made from them.
#pragma once

#include <stdint.h>

#include <vector>

namespace pylon {

struct Point {
    float x, y, z;
};

struct Beam {
    Point from, to;
    float halfWidth;  // half the side of the beam's square section
};

// Legs, lattice bracing, three levels of cross-arms, insulator strings hanging from the
// arms to the twelve wire anchors, and the earth-wire peak.
std::vector<Beam> BuildTower();

// A vertex as the .vbo file stores it: position, normal, texcoord.
struct FileVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

struct TriangleMesh {
    std::vector<FileVertex> vertices;
    std::vector<uint32_t> indices;
};

// Every beam as a closed box of six faces with their own normals, wound clockwise as
// seen from outside (the front faces of the default rasterizer state); positions
// multiplied by `scale`.
TriangleMesh MeshBeams(const std::vector<Beam>& beams, float scale);

}  // namespace pylon
