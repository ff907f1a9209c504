#include "gfx/mesh.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include "gfx/graphics_context.h"

namespace {

// A vertex as the file stores it: position, normal, texcoord.
struct FileVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(FileVertex) == 32, "file vertices are 32 bytes");

// Byte size of `count` items of `itemSize`, or false when it is negative or does not fit
// in 32 bits.
bool ByteSize(INT32 count, UINT32 itemSize, UINT32* bytes) {
    if (count < 0) return false;
    const uint64_t total = (uint64_t)count * itemSize;
    if (total > UINT32_MAX) return false;
    *bytes = (UINT32)total;
    return true;
}

HRESULT CreateStaticBuffer(UINT size, UINT bind, const void* contents, ID3D11Buffer** buffer) {
    D3D11_BUFFER_DESC desc = {};
    desc.ByteWidth = size;
    desc.Usage = D3D11_USAGE_DEFAULT;
    desc.BindFlags = bind;
    D3D11_SUBRESOURCE_DATA data = {};
    data.pSysMem = contents;
    return graphics.device->CreateBuffer(&desc, &data, buffer);
}

}  // namespace

Mesh* LoadMesh() {
    Mesh* mesh = (Mesh*)calloc(1, sizeof(Mesh));
    if (!mesh) return NULL;
    FILE* file = fopen("Data/overheadpylon.vbo", "rb");
    if (!file) {
        free(mesh);
        return NULL;
    }

    FileVertex* fileVertices = NULL;
    MeshVertex* vertices = NULL;
    UINT32* indices = NULL;
    UINT32 vertexBytes = 0, indexBytes = 0;
    bool loaded = fread(&mesh->vertexCount, 4, 1, file) == 1 && fread(&mesh->indexCount, 4, 1, file) == 1 &&
                  ByteSize(mesh->vertexCount, sizeof(FileVertex), &vertexBytes) &&
                  ByteSize(mesh->indexCount, sizeof(UINT32), &indexBytes);
    if (loaded) {
        // A file shorter than its counts is turned away before anything is allocated for it.
        const long start = ftell(file);
        fseek(file, 0, SEEK_END);
        const long end = ftell(file);
        fseek(file, start, SEEK_SET);
        loaded = start >= 0 && end >= start && (uint64_t)(end - start) >= (uint64_t)vertexBytes + indexBytes;
    }
    if (loaded) {
        fileVertices = (FileVertex*)malloc(vertexBytes ? vertexBytes : 1);
        vertices = (MeshVertex*)malloc(vertexBytes ? vertexBytes : 1);
        indices = (UINT32*)malloc(indexBytes ? indexBytes : 1);
        loaded = fileVertices && vertices && indices &&
                 fread(fileVertices, 1, vertexBytes, file) == vertexBytes &&
                 fread(indices, 1, indexBytes, file) == indexBytes;
    }
    fclose(file);

    if (loaded) {
        const float scale = 0.0075f;
        for (INT32 i = 0; i < mesh->vertexCount; ++i) {
            const FileVertex& in = fileVertices[i];
            vertices[i] = {in.x * scale, in.y * scale, in.z * scale, in.u, in.v, in.nx, in.ny, in.nz};
        }
        loaded = SUCCEEDED(CreateStaticBuffer(vertexBytes, D3D11_BIND_VERTEX_BUFFER, vertices, &mesh->vertexBuffer)) &&
                 SUCCEEDED(CreateStaticBuffer(indexBytes, D3D11_BIND_INDEX_BUFFER, indices, &mesh->indexBuffer));
    }
    free(fileVertices);
    free(vertices);
    free(indices);
    if (loaded) return mesh;

    if (mesh->vertexBuffer) mesh->vertexBuffer->Release();
    if (mesh->indexBuffer) mesh->indexBuffer->Release();
    free(mesh);
    return NULL;
}
