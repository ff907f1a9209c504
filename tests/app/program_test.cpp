// The whole program, started from the build tree as a child process on the virtual display
// with the dialog pressed by automation and the platform's trace on standard error.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include "program_runner.h"

namespace {

TEST(AppProgram, CancelExitsWith255BeforeAnyWindow) {
    ProgramRun run = RunProgram(ProgramDirectory(), {{"QUARVEL_SETUP", "cancel"}}, 60);
    EXPECT_EQ(run.status, 255) << run.errors;
    EXPECT_FALSE(run.Traced("CreateWindowExA")) << run.errors;
}

TEST(AppProgram, MissingMusicEndsPromptlyWithoutAFrame) {
    char folder[] = "/tmp/quarvel_no_data_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    ProgramRun run = RunProgram(folder, {{"QUARVEL_SETUP", "run"}}, 60);
    rmdir(folder);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(run.Traced("CreateWindowExA \"D3D11Class\" \"Quarvel - Brisvane (Ketra)\"")) << run.errors;
    // The loop's first pass would pump messages before drawing; it never ran one.
    EXPECT_FALSE(run.Traced("first message pump")) << run.errors;
    EXPECT_LT(run.seconds, 20.0);
}

TEST(AppProgram, EscapeDuringTheLoopEndsItWithZero) {
    ProgramRun run = RunProgram(ProgramDirectory(),
                         {{"QUARVEL_SETUP", "run"}, {"QUARVEL_INPUT_SCRIPT", "400:keydown:escape,450:keyup:escape"}},
                         60);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(run.Traced("first message pump")) << run.errors;  // the music was playing
    EXPECT_FALSE(run.Traced("DestroyWindow")) << run.errors;  // Escape does not close the window
    EXPECT_LT(run.seconds, 20.0);  // long before the 30 s of music
}

TEST(AppProgram, ClosingTheWindowEndsTheLoopWithZero) {
    ProgramRun run = RunProgram(ProgramDirectory(), {{"QUARVEL_SETUP", "run"}, {"QUARVEL_INPUT_SCRIPT", "300:close"}}, 60);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(run.Traced("DestroyWindow")) << run.errors;
    EXPECT_LT(run.seconds, 20.0);
}

TEST(AppProgram, RunsThe30SecondsOfMusicAndExitsWithZero) {
    // Ten times real time: three seconds of waiting for thirty of music.
    ProgramRun run = RunProgram(ProgramDirectory(),
                         {{"QUARVEL_SETUP", "run"}, {"QUARVEL_SETUP_WINDOWED", "1"}, {"QUARVEL_AUDIO_SPEED", "10"}},
                         120);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(run.Traced("first message pump")) << run.errors;
    EXPECT_TRUE(run.Traced("client 1280x720")) << run.errors;  // the default mode, windowed
    EXPECT_GT(run.seconds, 3.0 + 1.0 + 0.5);  // music, the loading pause and the closing pause
}

TEST(AppProgram, RefusesToPlayUnseenWithoutADisplay) {
    // No display server, no recording, and nobody asked for the virtual display.
    ProgramRun run = RunProgram(ProgramDirectory(), {{"QUARVEL_SETUP", "run"}, {"SDL_VIDEODRIVER", ""}}, 60);
    EXPECT_EQ(run.status, 2) << run.errors;
    EXPECT_TRUE(run.Traced("there is no display to show this on")) << run.errors;
    EXPECT_FALSE(run.Traced("CreateWindowExA")) << run.errors;
}

TEST(AppProgram, AVideoDriverThatCannotStartEndsWithAMessage) {
    ProgramRun run = RunProgram(ProgramDirectory(), {{"QUARVEL_SETUP", "run"}, {"SDL_VIDEODRIVER", "x11"}}, 60);
    EXPECT_EQ(run.status, 5) << run.errors;  // E_FAIL: the window could not be made
    EXPECT_TRUE(run.Traced("cannot start video")) << run.errors;
}

}  // namespace
