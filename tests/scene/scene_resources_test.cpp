// The scene's textures as start-up makes them: decoded on a second thread while it compiles,
// or in place when nothing started that, each view must hold its own picture exactly.
#include <gtest/gtest.h>
#include <math.h>

#include <string>

#include "app/scene_resources.h"
#include "gfx/mesh.h"
#include "scene_fixture.h"
#include "sea_model.h"

namespace quarvel::test {
namespace {

const std::pair<const char*, ID3D11ShaderResourceView**> kViews[] = {
    {"_Ketra_road_scene_background.png", &backgroundTexture},
    {"_Ketra_road_scene_car_1080_opa_win.png", &carTexture},
    {"_Ketra_road_scene_car_wheel_134x134.png", &wheelTexture134},
    {"_Ketra_road_scene_car_wheel_142x142.png", &wheelTexture142},
    {"_neon_sunset_SUN_and_MNTNS.png", &skyTexture},
    {"_Ketra_road_scene_billboard_1_nagy2.png", &billboardTexture1},
    {"_Ketra_road_scene_billboard_2_nagy2.png", &billboardTexture2},
};

// Every texel of every view against the file decoded here.
void ExpectEveryPictureInItsView() {
    for (const auto& [file, view] : kViews) {
        SCOPED_TRACE(file);
        Picture picture;
        ASSERT_TRUE(picture.Load(std::string("Data/") + file));
        ASSERT_NE(*view, nullptr);
        ID3D11Resource* resource = NULL;
        (*view)->GetResource(&resource);
        const Pixels pixels = ReadTexture((ID3D11Texture2D*)resource);
        resource->Release();
        ASSERT_EQ(pixels.width, picture.width);
        ASSERT_EQ(pixels.height, picture.height);
        size_t differing = 0;
        for (size_t i = 0; i < picture.rgba.size(); ++i)
            differing += lrintf(pixels.rgba[i] * 255.0f) != picture.rgba[i];
        EXPECT_EQ(differing, 0u);
    }
    EXPECT_NE(pylonMesh, nullptr);
}

class SceneResourcesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(OpenGraphics(64, 36, false)); }
    void TearDown() override {
        ReleaseSceneResources();
        CloseGraphics();
    }
};

TEST_F(SceneResourcesTest, PicturesDecodedAheadOnASecondThreadOrInPlace) {
    StartDecodingScenePictures();
    LoadSceneResources();
    ExpectEveryPictureInItsView();
    // The decoded pictures went into the textures: a second load decodes afresh, in place.
    ReleaseSceneResources();
    LoadSceneResources();
    ExpectEveryPictureInItsView();
}

}  // namespace
}  // namespace quarvel::test
