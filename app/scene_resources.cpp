#include "app/scene_resources.h"

#include <stddef.h>

#include "gfx/mesh.h"
#include "gfx/texture_loader.h"

ID3D11ShaderResourceView* backgroundTexture = NULL;
ID3D11ShaderResourceView* carTexture = NULL;
ID3D11ShaderResourceView* wheelTexture134 = NULL;
ID3D11ShaderResourceView* wheelTexture142 = NULL;
ID3D11ShaderResourceView* skyTexture = NULL;
ID3D11ShaderResourceView* billboardTexture1 = NULL;
ID3D11ShaderResourceView* billboardTexture2 = NULL;
Mesh* pylonMesh = NULL;
ShaderProgram* seaProgram = NULL;

void LoadSceneResources() {
    // A picture that fails to load leaves its view null; the scene draws without it.
    LoadTextureFile("Data/_Ketra_road_scene_background.png", &backgroundTexture);
    LoadTextureFile("Data/_Ketra_road_scene_car_1080_opa_win.png", &carTexture);
    LoadTextureFile("Data/_Ketra_road_scene_car_wheel_134x134.png", &wheelTexture134);
    LoadTextureFile("Data/_Ketra_road_scene_car_wheel_142x142.png", &wheelTexture142);
    LoadTextureFile("Data/_neon_sunset_SUN_and_MNTNS.png", &skyTexture);
    LoadTextureFile("Data/_Ketra_road_scene_billboard_1_nagy2.png", &billboardTexture1);
    LoadTextureFile("Data/_Ketra_road_scene_billboard_2_nagy2.png", &billboardTexture2);
    pylonMesh = LoadMesh();
}
