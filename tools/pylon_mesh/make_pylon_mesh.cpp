// Writes Data/overheadpylon.vbo: the transmission tower in file units (the loader scales
// by 0.0075), as counts, vertices and 32-bit indices.
#include <stdio.h>

#include "tower.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT.vbo\n", argv[0]);
        return 2;
    }
    const pylon::TriangleMesh mesh = pylon::MeshBeams(pylon::BuildTower(), 1.0f / 0.0075f);
    FILE* file = fopen(argv[1], "wb");
    if (!file) {
        perror(argv[1]);
        return 1;
    }
    // The format is little-endian, as is every machine this builds on.
    const int32_t counts[2] = {(int32_t)mesh.vertices.size(), (int32_t)mesh.indices.size()};
    bool written = fwrite(counts, sizeof counts, 1, file) == 1 &&
                   fwrite(mesh.vertices.data(), sizeof(pylon::FileVertex), mesh.vertices.size(), file) ==
                       mesh.vertices.size() &&
                   fwrite(mesh.indices.data(), sizeof(uint32_t), mesh.indices.size(), file) == mesh.indices.size();
    written = fclose(file) == 0 && written;
    if (!written) {
        fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
