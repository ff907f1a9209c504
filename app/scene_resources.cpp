#include "app/scene_resources.h"

#include <stddef.h>

#include <thread>

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

namespace {

struct ScenePicture {
    const char* path;
    ID3D11ShaderResourceView** view;
};
const ScenePicture kPictures[] = {
    {"Data/_Ketra_road_scene_background.png", &backgroundTexture},
    {"Data/_Ketra_road_scene_car_1080_opa_win.png", &carTexture},
    {"Data/_Ketra_road_scene_car_wheel_134x134.png", &wheelTexture134},
    {"Data/_Ketra_road_scene_car_wheel_142x142.png", &wheelTexture142},
    {"Data/_neon_sunset_SUN_and_MNTNS.png", &skyTexture},
    {"Data/_Ketra_road_scene_billboard_1_nagy2.png", &billboardTexture1},
    {"Data/_Ketra_road_scene_billboard_2_nagy2.png", &billboardTexture2},
};
const int kPictureCount = (int)(sizeof kPictures / sizeof kPictures[0]);

DecodedPicture decoded[kPictureCount];

void DecodeScenePictures() {
    for (int i = 0; i < kPictureCount; ++i) DecodePictureFile(kPictures[i].path, &decoded[i]);
}

// A decoding that start-up began and never collected (it ended before loading the scene)
// is waited for at exit, so the thread never outlives what it writes to.
struct Decoding {
    std::thread worker;
    ~Decoding() {
        if (worker.joinable()) worker.join();
    }
} decoding;

}  // namespace

void StartDecodingScenePictures() {
    if (decoding.worker.joinable()) return;
    try {
        decoding.worker = std::thread(DecodeScenePictures);
    } catch (...) {
        // No thread to be had: LoadSceneResources decodes them itself.
    }
}

void LoadSceneResources() {
    if (decoding.worker.joinable())
        decoding.worker.join();
    else
        DecodeScenePictures();
    // A picture that fails to load leaves its view null; the scene draws without it.
    for (int i = 0; i < kPictureCount; ++i) TextureFromPicture(&decoded[i], kPictures[i].view);
    pylonMesh = LoadMesh();
}
