// Start-up to the first main-loop frame: the time from launching the program until it
// reaches its main loop, measured from outside by the line its Win32 trace prints at the
// first message pump. The program records (a 640 x 360 window, one music time), so it runs
// on the virtual clock and the one-second pause under the full loading bar costs nothing.
// It starts once with Mesa's shader cache as the earlier runs left it, and once with the
// cache off, so every shader goes through the driver's compiler as on a first run.
//
// The baseline is first_frame: a program that makes the same window and GL context on the
// same SDL driver and presents one frame, timed from launch to its line after the present.
//
//   QUARVEL_STARTUP_EARLIER=<tree>   also times the program of another build tree (its
//                                    quarvel beside its Data/ and Shaders/) the same way, so
//                                    a change to start-up is measured against the build
//                                    before it in one run
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Launch {
    double toLineSeconds = 0.0, toExitSeconds = 0.0;
    std::string error;  // empty when the line came and the program ended with status 0
};

// Runs `program` in `folder` with `settings` added to this process's environment, and
// times the first line of its standard error that contains `line`.
Launch Run(const std::string& program, const std::string& folder, const std::vector<std::string>& settings,
           const char* line) {
    Launch launch;
    std::vector<std::string> environment;
    // getenv takes the first entry of a name, so a setting replaces the inherited one.
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const std::string& s : settings) replaced |= entry.compare(0, s.find('=') + 1, s, 0, s.find('=') + 1) == 0;
        if (!replaced) environment.push_back(entry);
    }
    for (const std::string& s : settings) environment.push_back(s);
    std::vector<char*> envp;
    for (std::string& s : environment) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string path = program;
    char* argv[] = {path.data(), nullptr};

    int pipe_[2];
    if (pipe(pipe_) != 0) {
        launch.error = "no pipe";
        return launch;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipe_[1], 2);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(pipe_[0]);
        close(pipe_[1]);
        if (chdir(folder.c_str()) == 0) execve(path.c_str(), argv, envp.data());
        _exit(127);
    }
    close(pipe_[1]);
    std::string text;
    bool seen = false;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(pipe_[0], buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, (size_t)n);
        if (!seen && text.find(line) != std::string::npos) {
            seen = true;
            launch.toLineSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    }
    close(pipe_[0]);
    int status = 0;
    waitpid(child, &status, 0);
    launch.toExitSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!seen || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        launch.error = program + " did not start as expected: " + text.substr(0, 400);
    return launch;
}

// Times launches of one program; the counter gives the time to its exit as well.
void Time(benchmark::State& state, const std::string& program, const std::string& folder,
          const std::vector<std::string>& settings, const char* line, const char* cleanUp) {
    double toExit = 0.0;
    for (auto _ : state) {
        const Launch launch = Run(program, folder, settings, line);
        if (cleanUp) std::filesystem::remove_all(cleanUp);
        if (!launch.error.empty()) return state.SkipWithError(launch.error.c_str());
        state.SetIterationTime(launch.toLineSeconds);
        toExit += launch.toExitSeconds;
    }
    state.counters["to_exit_ms"] = 1000.0 * toExit / (double)state.iterations();
}

std::string RecordFolder() {
    static const std::string folder =
        (std::filesystem::temp_directory_path() / ("quarvel-startup-" + std::to_string(getpid()))).string();
    return folder;
}

std::vector<std::string> RecordSettings(bool shaderCache) {
    std::vector<std::string> settings = {"QUARVEL_SETUP=run",
                                         "QUARVEL_SETUP_MODE=640x360",
                                         "QUARVEL_SETUP_WINDOWED=1",
                                         "QUARVEL_RECORD=" + RecordFolder() + "/",
                                         "QUARVEL_RECORD_TIMES=0",
                                         "QUARVEL_WIN32_TRACE=1",
                                         "SDL_AUDIODRIVER=dummy"};
    if (!shaderCache) settings.push_back("MESA_SHADER_CACHE_DISABLE=true");
    return settings;
}

const char kFirstPump[] = "first message pump";

// Launches of `program` from `folder` with Mesa's shader cache filled by one launch first,
// so it holds whatever that build's shaders compile to.
void WarmLaunches(benchmark::State& state, const std::string& program, const std::string& folder) {
    Run(program, folder, RecordSettings(true), kFirstPump);
    std::filesystem::remove_all(RecordFolder());
    Time(state, program, folder, RecordSettings(true), kFirstPump, RecordFolder().c_str());
}

void ProgramWithShaderCache(benchmark::State& state) { WarmLaunches(state, QUARVEL_PROGRAM, QUARVEL_RUN_DIR); }
BENCHMARK(ProgramWithShaderCache)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void ProgramWithoutShaderCache(benchmark::State& state) {
    Time(state, QUARVEL_PROGRAM, QUARVEL_RUN_DIR, RecordSettings(false), kFirstPump, RecordFolder().c_str());
}
BENCHMARK(ProgramWithoutShaderCache)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void FirstFrameBaseline(benchmark::State& state) {
    Time(state, QUARVEL_FIRST_FRAME, QUARVEL_RUN_DIR, {"SDL_AUDIODRIVER=dummy"}, "first frame presented", nullptr);
}
BENCHMARK(FirstFrameBaseline)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// Registered only when QUARVEL_STARTUP_EARLIER names a tree.
void EarlierProgramWithShaderCache(benchmark::State& state, const std::string& tree) {
    WarmLaunches(state, tree + "/quarvel", tree);
}

}  // namespace

int main(int argc, char** argv) {
    if (const char* earlier = getenv("QUARVEL_STARTUP_EARLIER"); earlier && *earlier)
        benchmark::RegisterBenchmark("EarlierProgramWithShaderCache", EarlierProgramWithShaderCache,
                                     std::string(earlier))
            ->UseManualTime()
            ->Iterations(5)
            ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
