// LoadMesh on arbitrary contents of Data/overheadpylon.vbo, on a checking device. A mesh
// that loads must describe exactly what the file holds (the device has copied every byte
// the buffers claim); one that does not must leave nothing behind.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "checking_device.h"
#include "gfx/graphics_context.h"
#include "gfx/mesh.h"
#include "scratch.h"

namespace {
quarvel::test::ScratchFolder* scratch;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    graphics.device = fuzz::CreateCheckingDevice();
    static quarvel::test::ScratchFolder folder;
    if (mkdir((folder / "Data").c_str(), 0700) != 0) abort();
    scratch = &folder;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!quarvel::test::WriteWholeFile(*scratch / "Data/overheadpylon.vbo", data, size)) abort();
    Mesh* mesh = nullptr;
    {
        quarvel::test::InFolder here(scratch->Path());
        mesh = LoadMesh();
    }
    if (mesh) {
        int32_t counts[2];
        if (size < sizeof counts) abort();
        std::memcpy(counts, data, sizeof counts);
        if (mesh->vertexCount != counts[0] || mesh->indexCount != counts[1]) abort();
        if (mesh->vertexCount < 0 || mesh->indexCount < 0) abort();
        if (8 + 32 * uint64_t(mesh->vertexCount) + 4 * uint64_t(mesh->indexCount) > size) abort();
        if (!mesh->vertexBuffer || !mesh->indexBuffer || mesh->texture0 || mesh->texture1 || mesh->cullFrontFaces)
            abort();
        D3D11_BUFFER_DESC vertices, indices;
        mesh->vertexBuffer->GetDesc(&vertices);
        mesh->indexBuffer->GetDesc(&indices);
        if (vertices.ByteWidth != 32u * uint32_t(mesh->vertexCount) || indices.ByteWidth != 4u * uint32_t(mesh->indexCount))
            abort();
        mesh->vertexBuffer->Release();
        mesh->indexBuffer->Release();
        free(mesh);
    }
    if (fuzz::LiveObjects() != 0) abort();
    return 0;
}
