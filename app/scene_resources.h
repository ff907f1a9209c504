// Resources that start-up loads for the scene and keeps for the whole run. They are left to
// process exit: nothing releases them.
#pragma once

struct ID3D11ShaderResourceView;
struct ShaderProgram;
struct Mesh;

extern ID3D11ShaderResourceView* backgroundTexture;
extern ID3D11ShaderResourceView* carTexture;
extern ID3D11ShaderResourceView* wheelTexture134;
extern ID3D11ShaderResourceView* wheelTexture142;
extern ID3D11ShaderResourceView* skyTexture;
extern ID3D11ShaderResourceView* billboardTexture1;
extern ID3D11ShaderResourceView* billboardTexture2;
extern Mesh* pylonMesh;
extern ShaderProgram* seaProgram;

// Loads the seven textures (background first, billboard 2 last), then the pylon mesh.
void LoadSceneResources();
