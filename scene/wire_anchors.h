// Where the twelve wires of a pylon hang, as offsets from the pylon's position. The pylon
// mesh is built so that its insulator strings end exactly here.
#pragma once

struct WireAnchor {
    float x, y, z;
};

constexpr int kWireAnchorCount = 12;

constexpr WireAnchor wireAnchors[kWireAnchorCount] = {
    {0.2f, 5.2f, -1.1f},  {0.2f, 6.4f, -1.1f},  {-0.2f, 6.4f, -1.1f}, {0.4f, 7.6f, -1.1f},
    {0.0f, 7.6f, -1.1f},  {-0.6f, 7.6f, -1.1f}, {1.9f, 5.2f, -1.1f},  {2.2f, 6.4f, -1.1f},
    {1.8f, 6.4f, -1.1f},  {2.8f, 7.6f, -1.1f},  {2.4f, 7.6f, -1.1f},  {1.8f, 7.6f, -1.1f},
};

// The pylons stand this far below the ground line, so their feet sink into it.
constexpr float kPylonBaseY = -0.1f;
