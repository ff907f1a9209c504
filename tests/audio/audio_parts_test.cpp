// The library's inner pieces on synthetic input: the ring and the timeline that turns the
// output clock into a stream position.
#include "pcm_ring.h"
#include "timeline.h"

#include <gtest/gtest.h>

#include <vector>

namespace quarvel::audio {
namespace {

TEST(AudioPcmRing, WritesWrapAroundAndFramesStayWhole) {
    PcmRing ring(2, 6);  // rounds up to 8 frames
    ASSERT_EQ(ring.Capacity(), 8u);
    std::vector<int16_t> frames;
    for (int16_t i = 0; i < 12; ++i) {
        frames.push_back(i);
        frames.push_back(static_cast<int16_t>(-i));
    }
    ring.Write(0, frames.data(), 6);
    ring.Write(6, frames.data() + 12, 6);  // frames 6..11 wrap onto slots 6, 7, 0..3
    for (uint64_t position = 4; position < 12; ++position) {
        EXPECT_EQ(ring.Frame(position)[0], static_cast<int16_t>(position));
        EXPECT_EQ(ring.Frame(position)[1], static_cast<int16_t>(-static_cast<int>(position)));
    }
}

TEST(AudioTimeline, MapsHeardOutputFramesToSourcePositions) {
    Timeline timeline(8);
    timeline.Reset(0.0);
    EXPECT_EQ(timeline.SourceAt(500), 0.0);  // nothing rendered yet

    // Output frames 100..199 carry source 0..50 (a file at half the output's rate), then
    // a stall holds it for 50 frames, then it carries on at the same rate.
    timeline.Add({100, 100, 0.0, 0.5});
    timeline.Add({200, 0, 50.0, 0.5});
    timeline.Add({250, 100, 50.0, 0.5});
    EXPECT_EQ(timeline.SourceAt(50), 0.0);    // heard before playback began
    EXPECT_EQ(timeline.SourceAt(150), 25.0);
    EXPECT_EQ(timeline.SourceAt(230), 50.0);  // the stall
    EXPECT_EQ(timeline.SourceAt(300), 75.0);
    EXPECT_EQ(timeline.SourceAt(1000), 100.0);  // past the last render: where it stopped

    // A restart forgets the old spans; until the new ones are heard it is at the start.
    timeline.Reset(0.0);
    timeline.Add({400, 100, 0.0, 1.0});
    EXPECT_EQ(timeline.SourceAt(380), 0.0);
    EXPECT_EQ(timeline.SourceAt(450), 50.0);
}

}  // namespace
}  // namespace quarvel::audio
