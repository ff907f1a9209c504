#include "tower.h"

#include <math.h>

#include "scene/wire_anchors.h"

namespace pylon {
namespace {

// The anchors lie in one plane across the line, and the tower's axis in it.
constexpr float kAxisX = 1.1f;
constexpr float kAxisZ = -1.1f;
// The feet stand at y = 0 here; the scene lowers the mesh by this much.
constexpr float kLift = -kPylonBaseY;
constexpr float kInsulatorLength = 0.25f;
constexpr float kWaist = 4.6f;

struct Tower {
    std::vector<Beam> beams;
    void Add(Point a, Point b, float halfWidth) { beams.push_back({a, b, halfWidth}); }
};

// Half the side of the square body at a height: wide feet narrowing to a slim waist,
// then nearly straight to the top.
float BodyHalf(float y) {
    if (y <= kWaist) return 0.9f + (0.28f - 0.9f) * (y / kWaist);
    return 0.28f + (0.2f - 0.28f) * ((y - kWaist) / (7.95f - kWaist));
}

Point Corner(float y, int i) {
    const float h = BodyHalf(y);
    const float sx = (i == 0 || i == 3) ? -1.0f : 1.0f;
    const float sz = (i < 2) ? -1.0f : 1.0f;
    return {kAxisX + sx * h, y, kAxisZ + sz * h};
}

void Body(Tower& tower) {
    const float levels[] = {0.0f, 0.85f, 1.65f, 2.4f, 3.1f, 3.75f, 4.35f, 4.9f, 5.55f, 6.15f, 6.75f, 7.35f, 7.95f};
    const int count = sizeof(levels) / sizeof(levels[0]);
    for (int k = 0; k + 1 < count; ++k) {
        const float y0 = levels[k], y1 = levels[k + 1];
        const float leg = y1 <= kWaist ? 0.035f : 0.026f;
        for (int i = 0; i < 4; ++i) {
            const int n = (i + 1) % 4;
            tower.Add(Corner(y0, i), Corner(y1, i), leg);
            // X bracing on each face.
            tower.Add(Corner(y0, i), Corner(y1, n), 0.012f);
            tower.Add(Corner(y0, n), Corner(y1, i), 0.012f);
            tower.Add(Corner(y1, i), Corner(y1, n), 0.016f);
        }
    }
    // Earth-wire peak over the top frame.
    const Point peak = {kAxisX, 8.25f, kAxisZ};
    for (int i = 0; i < 4; ++i) tower.Add(Corner(7.95f, i), peak, 0.018f);
}

// One side of a cross-arm: two bottom chords and a sloping top chord from the body out to
// `reach`, braced, with a cross-piece wherever an insulator hangs.
void ArmSide(Tower& tower, float armY, float side, float reach, const std::vector<float>& hangers) {
    const float root = BodyHalf(armY);
    const float rootX = kAxisX + side * root, tipX = kAxisX + side * reach;
    const float rootDepth = root, tipDepth = 0.05f;
    const float rise = 0.38f;
    auto bottom = [&](float s, float zSign) {
        const float depth = rootDepth + (tipDepth - rootDepth) * s;
        return Point{rootX + (tipX - rootX) * s, armY, kAxisZ + zSign * depth};
    };
    auto top = [&](float s) { return Point{rootX + (tipX - rootX) * s, armY + rise * (1.0f - s) + 0.04f * s, kAxisZ}; };
    tower.Add(bottom(0, -1), bottom(1, -1), 0.022f);
    tower.Add(bottom(0, 1), bottom(1, 1), 0.022f);
    tower.Add(top(0), top(1), 0.02f);
    tower.Add(bottom(1, -1), bottom(1, 1), 0.018f);
    tower.Add(bottom(1, -1), top(1), 0.014f);
    tower.Add(bottom(1, 1), top(1), 0.014f);
    const int stations = 5;
    for (int k = 0; k < stations; ++k) {
        const float s0 = (float)k / stations, s1 = (float)(k + 1) / stations;
        tower.Add(bottom(s0, -1), top(s1), 0.011f);
        tower.Add(bottom(s0, 1), top(s1), 0.011f);
        tower.Add(bottom(s1, -1), bottom(s0, 1), 0.011f);
    }
    for (float x : hangers) {
        const float s = (x - rootX) / (tipX - rootX);
        tower.Add(bottom(s, -1), bottom(s, 1), 0.016f);
    }
}

// A string of insulator discs from the arm down to the anchor, where the wire hangs.
void Insulator(Tower& tower, Point anchor, float armY) {
    tower.Add({anchor.x, armY, anchor.z}, anchor, 0.012f);
    for (int k = 1; k <= 4; ++k) {
        const float y = anchor.y + (armY - anchor.y) * (float)k / 5.0f;
        tower.Add({anchor.x - 0.045f, y, anchor.z}, {anchor.x + 0.045f, y, anchor.z}, 0.012f);
        tower.Add({anchor.x, y, anchor.z - 0.045f}, {anchor.x, y, anchor.z + 0.045f}, 0.012f);
    }
}

void Arms(Tower& tower) {
    // Each anchor height is one arm level; each side of the axis one arm.
    const float heights[] = {5.2f, 6.4f, 7.6f};
    for (float height : heights) {
        const float armY = height + kLift + kInsulatorLength;
        for (float side : {-1.0f, 1.0f}) {
            std::vector<float> hangers;
            float reach = BodyHalf(armY) + 0.2f;
            for (const WireAnchor& a : wireAnchors) {
                if (a.y != height || (a.x - kAxisX) * side <= 0.0f) continue;
                hangers.push_back(a.x);
                reach = fmaxf(reach, fabsf(a.x - kAxisX) + 0.1f);
                Insulator(tower, {a.x, a.y + kLift, a.z}, armY);
            }
            ArmSide(tower, armY, side, reach, hangers);
        }
    }
}

struct Vec {
    float x, y, z;
};
Vec Sub(Point a, Point b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Scale(Vec a, float s) { return {a.x * s, a.y * s, a.z * s}; }
Vec Normalize(Vec a) { return Scale(a, 1.0f / sqrtf(Dot(a, a))); }
Point Offset(Point p, Vec a, float s) { return {p.x + a.x * s, p.y + a.y * s, p.z + a.z * s}; }

void AddFace(TriangleMesh& mesh, const Point corners[4], Vec normal, float scale) {
    const uint32_t base = (uint32_t)mesh.vertices.size();
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i)
        mesh.vertices.push_back({corners[i].x * scale, corners[i].y * scale, corners[i].z * scale, normal.x, normal.y,
                                 normal.z, uv[i][0], uv[i][1]});
    // Clockwise seen from outside in this left-handed world: the triangle's cross product
    // points along the outward normal.
    const bool keep = Dot(Cross(Sub(corners[1], corners[0]), Sub(corners[2], corners[0])), normal) > 0.0f;
    const uint32_t order[2][6] = {{0, 1, 2, 0, 2, 3}, {0, 2, 1, 0, 3, 2}};
    for (uint32_t i : order[keep ? 0 : 1]) mesh.indices.push_back(base + i);
}

}  // namespace

std::vector<Beam> BuildTower() {
    Tower tower;
    Body(tower);
    Arms(tower);
    return tower.beams;
}

TriangleMesh MeshBeams(const std::vector<Beam>& beams, float scale) {
    TriangleMesh mesh;
    for (const Beam& beam : beams) {
        const Vec d = Normalize(Sub(beam.to, beam.from));
        const Vec helper = fabsf(d.y) > 0.9f ? Vec{1, 0, 0} : Vec{0, 1, 0};
        const Vec u = Normalize(Cross(d, helper));
        const Vec v = Cross(d, u);
        const float r = beam.halfWidth;
        // Corner k of an end: +-u, +-v.
        auto corner = [&](Point end, int k) {
            const float su = (k == 0 || k == 3) ? -r : r;
            const float sv = (k < 2) ? -r : r;
            return Offset(Offset(end, u, su), v, sv);
        };
        for (int side = 0; side < 4; ++side) {
            const int n = (side + 1) % 4;
            const Point face[4] = {corner(beam.from, side), corner(beam.from, n), corner(beam.to, n),
                                   corner(beam.to, side)};
            const Point mid = {(face[0].x + face[2].x) * 0.5f, (face[0].y + face[2].y) * 0.5f,
                               (face[0].z + face[2].z) * 0.5f};
            const Point axisMid = {(beam.from.x + beam.to.x) * 0.5f, (beam.from.y + beam.to.y) * 0.5f,
                                   (beam.from.z + beam.to.z) * 0.5f};
            AddFace(mesh, face, Normalize(Sub(mid, axisMid)), scale);
        }
        const Point start[4] = {corner(beam.from, 0), corner(beam.from, 1), corner(beam.from, 2), corner(beam.from, 3)};
        const Point end[4] = {corner(beam.to, 0), corner(beam.to, 1), corner(beam.to, 2), corner(beam.to, 3)};
        AddFace(mesh, start, Scale(d, -1.0f), scale);
        AddFace(mesh, end, d, scale);
    }
    return mesh;
}

}  // namespace pylon
