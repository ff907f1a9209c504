// The pylon mesh: vertex and 32-bit index buffers read from Data/overheadpylon.vbo.
#pragma once

#include <d3d11.h>

struct Mesh {
    ID3D11Buffer* vertexBuffer;  // vertexCount MeshVertex
    ID3D11Buffer* indexBuffer;   // indexCount 32-bit indices, a triangle list
    INT32 vertexCount;
    INT32 indexCount;
    ID3D11ShaderResourceView* texture0;
    ID3D11ShaderResourceView* texture1;
    bool cullFrontFaces;
};

// Null when the file is missing, malformed or its buffers cannot be made.
Mesh* LoadMesh();
