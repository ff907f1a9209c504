// The whole program, recorded at chosen music times in a small window, against frames the
// test composes itself with the same code: the cross-fade and the end.
#include <gtest/gtest.h>
#include <math.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <cstdio>
#include <map>
#include <vector>
#include <string>

#include "scene/compose_frame.h"
#include "program_runner.h"
#include "scene_fixture.h"
#include "sea_model.h"

namespace quarvel::test {
namespace {

constexpr float kStep = 1.0f / 255.0f;

// The program recorded windowed at width x height at the given music times; the loop
// frames by music time.
std::map<uint32_t, Picture> Record(int width, int height, const std::vector<unsigned>& times) {
    const Recording recording = RecordProgram(ProgramDirectory(), {}, times, width, height);
    EXPECT_EQ(recording.run.status, 0) << recording.run.errors;
    std::map<uint32_t, Picture> frames;
    const std::string folder = ProgramDirectory() + "/.scene_recording_frame.png";
    for (unsigned ms : times) {
        const std::vector<unsigned char> png = recording.LoopPicture(ms);
        std::ofstream(folder, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), png.size());
        frames[ms].Load(folder);
    }
    std::remove(folder.c_str());
    return frames;
}

class SceneRecordingTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 320, kHeight = 180;

    static void SetUpTestSuite() {
        frames = Record(kWidth, kHeight, {17000, 18000, 30000, 30500});
        opened = OpenScene(kWidth, kHeight);
    }
    static void TearDownTestSuite() {
        CloseScene();
        frames.clear();
    }
    void SetUp() override {
        ASSERT_TRUE(opened);
        composeOptions = ComposeOptions();
    }

    static const Picture& Recorded(uint32_t ms) {
        static const Picture none;
        auto it = frames.find(ms);
        EXPECT_NE(it, frames.end()) << ms << " ms was not recorded";
        return it == frames.end() ? none : it->second;
    }

    static std::map<uint32_t, Picture> frames;
    static inline bool opened = false;
};

std::map<uint32_t, Picture> SceneRecordingTest::frames;

TEST_F(SceneRecordingTest, CrossFadeStartsAtTheSceneAndIsHalfWayAtEighteenSeconds) {
    composeOptions.drawFades = false;
    DrawFrameAt(17000);
    const Pixels road = ReadFrame();
    const Picture& start = Recorded(17000);
    ASSERT_EQ(start.width, kWidth);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c) ASSERT_NEAR(start.At(x, y)[c] * kStep, road.At(x, y)[c], 0.1f * kStep);

    DrawFrameAt(18000);
    const Pixels roadLayer = ReadTexture(graphics.layerA.texture), seaLayer = ReadTexture(graphics.layerB.texture);
    const Picture& middle = Recorded(18000);
    ASSERT_EQ(middle.width, kWidth);
    double apart = 0.0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c) {
                const float a = roadLayer.At(x, y)[c], b = seaLayer.At(x, y)[c];
                ASSERT_NEAR(middle.At(x, y)[c] * kStep, (a + b) * 0.5f, 0.6f * kStep) << x << "," << y << " " << c;
                apart += fabsf(a - b);
            }
    EXPECT_GT(apart / (kWidth * kHeight * 3), 0.1);  // two different layers really were mixed
}

TEST_F(SceneRecordingTest, FromThirtySecondsEverythingIsBlack) {
    for (uint32_t ms : {30000u, 30500u}) {
        const Picture& frame = Recorded(ms);
        ASSERT_EQ(frame.width, kWidth) << ms;
        for (size_t i = 0; i < frame.rgba.size(); i += 4)
            ASSERT_TRUE(frame.rgba[i] == 0 && frame.rgba[i + 1] == 0 && frame.rgba[i + 2] == 0) << ms << " ms";
    }
    // The loop ends after the first frame past 30 000 ms, but a slow machine can make that
    // frame late; past the last fade window it stays black too.
    for (uint32_t ms : {31000u, 31500u, 45000u}) {
        DrawFrameAt(ms);
        const Pixels frame = ReadFrame();
        for (size_t i = 0; i < frame.rgba.size(); i += 4)
            ASSERT_TRUE(frame.rgba[i] == 0 && frame.rgba[i + 1] == 0 && frame.rgba[i + 2] == 0) << ms << " ms";
    }
}

}  // namespace
}  // namespace quarvel::test
