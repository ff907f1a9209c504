#include "program_runner.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

size_t ProgramRun::Count(const std::string& text) const {
    size_t count = 0;
    for (size_t at = errors.find(text); at != std::string::npos; at = errors.find(text, at + text.size())) ++count;
    return count;
}

std::string ProgramDirectory() {
    std::string program = QUARVEL_PROGRAM;
    return program.substr(0, program.find_last_of('/'));
}

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
    variables["SDL_VIDEODRIVER"] = "offscreen";
    variables["SDL_AUDIODRIVER"] = "dummy";
    variables["QUARVEL_WIN32_TRACE"] = "1";
    // A call Direct3D would crash on stops the run here as well.
    variables["QUARVEL_D3D11_STRICT"] = "1";
    for (const auto& [name, value] : changes) variables[name] = value;
    std::erase_if(variables, [](const auto& variable) { return variable.second.empty(); });  // removed by the test
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
    if (WIFSIGNALED(status)) ADD_FAILURE() << "the program died of signal " << WTERMSIG(status);
    run.errors = quarvel::test::ReadWholeFile(errorPath);
    unlink(errorPath);
    return run;
}

namespace {

std::vector<unsigned char> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), {});
}

std::vector<std::string> FilesIn(const std::string& folder, const std::vector<std::string>& suffixes) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(ProgramDirectory() + "/" + folder)) {
        if (!entry.is_regular_file()) continue;
        std::string name = entry.path().filename().string();
        for (const std::string& suffix : suffixes)
            if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                names.push_back(folder + "/" + name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::vector<std::string> DataFiles() { return FilesIn("Data", {".png", ".mp3", ".vbo"}); }
std::vector<std::string> ShaderFiles() { return FilesIn("Shaders", {".shader"}); }

StagedTree::StagedTree() {
    if (path_.empty()) {
        ADD_FAILURE() << "cannot make a folder: " << strerror(errno);
        return;
    }
    // Links to whole folders' files, sources included (the program reads their file times).
    for (const char* sub : {"Data", "Shaders"}) {
        std::filesystem::create_directory(path_ + "/" + sub);
        for (const auto& entry : std::filesystem::directory_iterator(ProgramDirectory() + "/" + sub))
            if (entry.is_regular_file())
                std::filesystem::create_symlink(entry.path(), path_ + "/" + sub + "/" + entry.path().filename().string());
    }
}

void StagedTree::Remove(const std::string& relative) {
    ASSERT_TRUE(std::filesystem::remove(path_ + "/" + relative)) << relative;
}

void StagedTree::Replace(const std::string& relative, const std::vector<unsigned char>& bytes) {
    std::filesystem::remove(path_ + "/" + relative);
    std::ofstream file(path_ + "/" + relative, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good()) << relative;
}

std::vector<unsigned char> StagedTree::Original(const std::string& relative) const {
    return ReadFile(ProgramDirectory() + "/" + relative);
}

std::vector<RecordedFrame> ReadFrames(const std::string& folder) {
    std::vector<RecordedFrame> frames;
    std::ifstream file(folder + "/frames.tsv");
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        RecordedFrame frame{};
        std::string kind;
        if (!(fields >> frame.number >> frame.musicMs >> kind)) {
            ADD_FAILURE() << "frames.tsv: cannot read \"" << line << "\"";
            continue;
        }
        frame.loop = kind == "loop";
        frames.push_back(frame);
    }
    return frames;
}

std::vector<unsigned> Recording::LoopTimes() const {
    std::vector<unsigned> times;
    for (const RecordedFrame& frame : frames)
        if (frame.loop) times.push_back(frame.musicMs);
    return times;
}

std::vector<unsigned char> Recording::LoopPicture(unsigned ms) const {
    for (size_t i = 0; i < frames.size() && i < pictures.size(); ++i)
        if (frames[i].loop && frames[i].musicMs == ms) return pictures[i];
    return {};
}

std::vector<std::vector<unsigned char>> Recording::LoopPictures() const {
    std::vector<std::vector<unsigned char>> loop;
    for (size_t i = 0; i < frames.size() && i < pictures.size(); ++i)
        if (frames[i].loop) loop.push_back(pictures[i]);
    return loop;
}

void ReadRecorded(const std::string& folder, Recording& recording) {
    recording.frames = ReadFrames(folder);
    recording.pictures.clear();
    for (const RecordedFrame& frame : recording.frames) {
        char name[32];
        std::snprintf(name, sizeof name, "/%05d.png", frame.number);
        recording.pictures.push_back(ReadFile(folder + name));
    }
}

Recording RecordProgram(const std::string& directory, const std::map<std::string, std::string>& changes,
                        const std::vector<unsigned>& times, int width, int height, int fps, double limitSeconds) {
    const quarvel::test::ScratchFolder scratch;
    const std::string folder = scratch.Path();
    Recording recording;
    if (folder.empty()) {
        ADD_FAILURE() << "cannot make a folder";
        return recording;
    }
    std::string list;
    for (unsigned ms : times) list += (list.empty() ? "" : ",") + std::to_string(ms);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::map<std::string, std::string> settings = {
        {"QUARVEL_SETUP", "run"},         {"QUARVEL_DISPLAY_MODES", size + "x32@60"},
        {"QUARVEL_SETUP_MODE", size},     {"QUARVEL_SETUP_WINDOWED", "1"},
        {"QUARVEL_RECORD", folder + "/"}, {"QUARVEL_RECORD_FPS", std::to_string(fps)},
        {"QUARVEL_RECORD_TIMES", list},
    };
    for (const auto& [name, value] : changes) settings[name] = value;
    recording.run = RunProgram(directory, settings, limitSeconds);
    ReadRecorded(folder, recording);
    return recording;
}
