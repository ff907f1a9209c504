// The whole program, recorded at chosen music times in small windows, against frames the
// test composes itself with the same code: the fade-in, the cross-fade, the end and the
// letterbox of a window that is not 16:9.
#include <gtest/gtest.h>
#include <math.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "scene/compose_frame.h"
#include "scene_fixture.h"
#include "sea_model.h"

namespace quarvel::test {
namespace {

constexpr float kStep = 1.0f / 255.0f;

// Runs the program windowed at width x height, recording the given music times; the loop
// frames by music time.
std::map<uint32_t, Picture> Record(int width, int height, const std::string& times) {
    char folder[] = "/tmp/quarvel_scene_recording_XXXXXX";
    if (!mkdtemp(folder)) return {};
    const std::string mode = std::to_string(width) + "x" + std::to_string(height);
    const std::string command = "QUARVEL_SETUP=run QUARVEL_SETUP_WINDOWED=1 SDL_AUDIODRIVER=dummy"
                                " QUARVEL_DISPLAY_MODES=" + mode + "x32@60 QUARVEL_SETUP_MODE=" + mode +
                                " QUARVEL_RECORD=" + std::string(folder) + "/ QUARVEL_RECORD_TIMES=" + times +
                                " " QUARVEL_PROGRAM " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::map<uint32_t, Picture> frames;
    std::ifstream table(std::string(folder) + "/frames.tsv");
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string number, kind;
        uint32_t ms = 0;
        fields >> number >> ms >> kind;
        if (kind == "loop") frames[ms].Load(std::string(folder) + "/" + number + ".png");
    }
    std::system(("rm -rf '" + std::string(folder) + "'").c_str());
    return frames;
}

class SceneRecordingTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 320, kHeight = 180;

    static void SetUpTestSuite() {
        frames = Record(kWidth, kHeight, "500,17000,18000,30000,30500");
        opened = OpenScene(kWidth, kHeight);
    }
    static void TearDownTestSuite() {
        CloseScene();
        frames.clear();
    }
    void SetUp() override {
        ASSERT_TRUE(opened);
        drawFades = true;
    }

    static const Picture& Recorded(uint32_t ms) {
        static const Picture none;
        auto it = frames.find(ms);
        EXPECT_NE(it, frames.end()) << ms << " ms was not recorded";
        return it == frames.end() ? none : it->second;
    }

    static std::map<uint32_t, Picture> frames;
    static bool opened;
};

std::map<uint32_t, Picture> SceneRecordingTest::frames;
bool SceneRecordingTest::opened = false;

TEST_F(SceneRecordingTest, HalfWayThroughTheFadeInEveryPixelIsHalfTheScene) {
    const Picture& recorded = Recorded(500);
    ASSERT_EQ(recorded.width, kWidth);
    drawFades = false;
    DrawFrameAt(500);
    const Pixels unfaded = ReadFrame();
    int lit = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c) {
                const float scene = unfaded.At(x, y)[c];
                ASSERT_NEAR(recorded.At(x, y)[c] * kStep, scene * 0.5f, 0.6f * kStep) << x << "," << y << " " << c;
                lit += scene > 0.2f;
            }
    EXPECT_GT(lit, kWidth * kHeight);  // a real picture, not a black one halved
}

TEST_F(SceneRecordingTest, CrossFadeStartsAtTheSceneAndIsHalfWayAtEighteenSeconds) {
    drawFades = false;
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

TEST(SceneLetterboxTest, A1280x1024WindowGets152BlackRowsAboveAndBelow) {
    const std::map<uint32_t, Picture> frames = Record(1280, 1024, "5000");
    ASSERT_EQ(frames.count(5000), 1u);
    const Picture& frame = frames.at(5000);
    ASSERT_EQ(frame.width, 1280);
    ASSERT_EQ(frame.height, 1024);
    auto blackInRow = [&](int y) {
        int black = 0;
        for (int x = 0; x < frame.width; ++x) {
            const unsigned char* p = frame.At(x, y);
            black += p[0] == 0 && p[1] == 0 && p[2] == 0;
        }
        return black;
    };
    for (int y = 0; y < 152; ++y) ASSERT_EQ(blackInRow(y), frame.width) << "row " << y;
    for (int y = 1024 - 152; y < 1024; ++y) ASSERT_EQ(blackInRow(y), frame.width) << "row " << y;
    // The picture fills the 720 rows between, edge to edge.
    for (int y : {152, 400, 1024 - 153}) EXPECT_EQ(blackInRow(y), 0) << "row " << y;
}

}  // namespace
}  // namespace quarvel::test
