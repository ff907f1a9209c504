// The whole program, recorded at chosen music times in a window taller than 16:9, against the
// road and sea layers the test composes itself with the same code: the fades at both ends,
// the cross-fade, black from 30 s, and every frame letterboxed into the window's middle rows.
#include <gtest/gtest.h>
#include <math.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "program_runner.h"
#include "scene_fixture.h"
#include "sea_model.h"

namespace quarvel::test {
namespace {

constexpr int kWidth = 1280, kHeight = 1024, kTop = 152, kRows = 720;

// A frame as weights of the road layer and the sea layer.
struct Moment {
    uint32_t ms;
    float road, sea;
};
const Moment kMoments[] = {
    {500, 0.5f, 0},       // half way through the fade-in
    {17000, 1, 0},        // the cross-fade starts at the road scene
    {18000, 0.5f, 0.5f},  // and is half way at 18 s
    {29500, 0, 0.5f},     // half way through the fade-out
    {30000, 0, 0},
    {30500, 0, 0},
};

Picture Decode(const std::vector<unsigned char>& png) {
    const std::string path = ProgramDirectory() + "/.scene_recording_frame.png";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), png.size());
    Picture picture;
    picture.Load(path);
    std::remove(path.c_str());
    return picture;
}

TEST(SceneRecording, FadesCrossFadeAndBlackEndShowLetterboxed) {
    std::vector<unsigned> times;
    for (const Moment& m : kMoments) times.push_back(m.ms);
    const Recording recording = RecordProgram(ProgramDirectory(), {}, times, kWidth, kHeight);
    ASSERT_EQ(recording.run.status, 0) << recording.run.errors;
    ASSERT_TRUE(OpenScene(kWidth, kHeight));
    for (const Moment& m : kMoments) {
        const Picture frame = Decode(recording.LoopPicture(m.ms));
        ASSERT_EQ(frame.width * frame.height, kWidth * kHeight) << m.ms;
        DrawFrameAt(m.ms);
        const Pixels road = ReadTexture(graphics.layerA.texture), sea = ReadTexture(graphics.layerB.texture);
        int wrong = 0;
        double apart = 0;
        for (int y = 0; y < kHeight; ++y) {
            // The window-sized image squeezed into the bars' gap by a linear sampler: each row
            // of the frame lies between two rows of the layers.
            const double row = std::clamp((y - kTop + 0.5) * kHeight / kRows - 0.5, 0.0, kHeight - 1.0);
            const int above = (int)row, below = std::min(above + 1, kHeight - 1);
            const bool bar = y < kTop || y >= kTop + kRows;
            for (int x = 0; x < kWidth; ++x)
                for (int c = 0; c < 3; ++c) {
                    auto mixed = [&](int r) { return m.road * road.At(x, r)[c] + m.sea * sea.At(x, r)[c]; };
                    const double expected = bar ? 0 : mixed(above) + (mixed(below) - mixed(above)) * (row - above);
                    wrong += fabs(frame.At(x, y)[c] / 255.0 - expected) > 1.01 / 255;
                    apart += fabsf(road.At(x, y)[c] - sea.At(x, y)[c]);
                }
        }
        EXPECT_EQ(wrong, 0) << m.ms << " ms";
        // Two different layers really were mixed.
        EXPECT_TRUE(m.road * m.sea == 0 || apart / (kWidth * kHeight * 3) > 0.1) << m.ms;
    }
    // The loop ends after the first frame past 30 s, but a slow machine can make that frame
    // late; past the last fade window it stays black too.
    for (uint32_t ms : {31000u, 45000u}) {
        DrawFrameAt(ms);
        const Pixels frame = ReadFrame();
        for (size_t i = 0; i < frame.rgba.size(); i += 4)
            ASSERT_TRUE(frame.rgba[i] == 0 && frame.rgba[i + 1] == 0 && frame.rgba[i + 2] == 0) << ms << " ms";
    }
    CloseScene();
}

}  // namespace
}  // namespace quarvel::test
