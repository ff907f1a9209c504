// The whole program, started from the build tree as a child process on the virtual display
// with the dialog pressed by automation and the platform's trace on standard error.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

struct ProgramRun {
    int status = -1;  // exit status, or -1 when it did not exit by itself
    double seconds = 0;
    std::string errors;
    bool Traced(const char* line) const { return errors.find(line) != std::string::npos; }
};

std::string ProgramDirectory() {
    std::string program = QUARVEL_PROGRAM;
    return program.substr(0, program.find_last_of('/'));
}

// Runs the program in `directory` with the test's environment changed by `changes` (an
// empty value removes the variable); kills it after `limitSeconds`.
ProgramRun RunProgram(const std::string& directory, const std::map<std::string, std::string>& changes,
               double limitSeconds) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        std::string text = *entry;
        size_t equals = text.find('=');
        if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    // The virtual display and the null audio output, whatever this machine has.
    variables.erase("DISPLAY");
    variables.erase("WAYLAND_DISPLAY");
    variables["SDL_AUDIODRIVER"] = "dummy";
    variables["QUARVEL_WIN32_TRACE"] = "1";
    for (const auto& [name, value] : changes) {
        if (value.empty())
            variables.erase(name);
        else
            variables[name] = value;
    }
    std::vector<std::string> texts;
    for (const auto& [name, value] : variables) texts.push_back(name + "=" + value);
    std::vector<char*> environment;
    for (std::string& text : texts) environment.push_back(text.data());
    environment.push_back(nullptr);

    char errorPath[] = "/tmp/quarvel_program_stderr_XXXXXX";
    int errorFile = mkstemp(errorPath);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errorFile, STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    std::string program = QUARVEL_PROGRAM;
    char* arguments[] = {program.data(), nullptr};

    ProgramRun run;
    pid_t child = 0;
    auto start = std::chrono::steady_clock::now();
    int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    close(errorFile);
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << program << ": " << strerror(spawned);
        unlink(errorPath);
        return run;
    }
    int status = 0;
    for (;;) {
        pid_t done = waitpid(child, &status, WNOHANG);
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (done == child) break;
        if (run.seconds > limitSeconds) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            ADD_FAILURE() << "the program was still running after " << limitSeconds << " s";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    std::ifstream errors(errorPath);
    std::stringstream text;
    text << errors.rdbuf();
    run.errors = text.str();
    unlink(errorPath);
    return run;
}

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

}  // namespace
