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

// Decoding the seven pictures is most of what loading the scene costs and needs no device,
// so start-up hands it to a second thread while it compiles the shader programs.
void StartDecodingScenePictures();
// Makes the seven textures (background first, billboard 2 last) from the pictures, decoding
// them first unless StartDecodingScenePictures already has, then loads the pylon mesh.
void LoadSceneResources();
