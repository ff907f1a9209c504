// The music clock the main loop reads each frame. How the loop runs, ends and releases what
// it holds is the whole-program tests' to check, on the program itself.
#include <gtest/gtest.h>

#include <math.h>

#include "app/main_loop.h"

namespace {

TEST(AppMusicClock, MillisecondsAreTheSecondsTruncated) {
    EXPECT_EQ(MusicTimeMsFromSeconds(12.3456f), 12345u);
    EXPECT_EQ(MusicTimeMsFromSeconds(30.0f), 30000u);
    EXPECT_EQ(MusicTimeMsFromSeconds(0.0009f), 0u);
    EXPECT_EQ(MusicTimeMsFromSeconds(-1.0f), 0u);  // a failed position query
    EXPECT_EQ(MusicTimeMsFromSeconds(NAN), 0u);
    EXPECT_EQ(MusicTimeMsFromSeconds(1e10f), 0xFFFFFFFFu);
}

}  // namespace
