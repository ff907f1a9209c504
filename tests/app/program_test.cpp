// The whole program as a child process on the virtual display: how it ends (Cancel, Escape,
// a closed window, the music's end, nothing to show on), and under faults, recorded on the
// virtual clock so every run visits the same music times: data and shader files missing or
// damaged, the music cut short, no sound device, a display without the listed colour depth,
// the window closed during start-up and a flood of messages. Each must end by itself with
// the right status, show the messages it should and no others, and release every device
// object it does not keep to the end.
#include <gtest/gtest.h>

#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "pack_format.h"
#include "program_runner.h"

namespace {

constexpr double kLimitSeconds = 300;
// Road, cross-fade, sea, fade-out.
const std::vector<unsigned> kTimes = {0, 5000, 15500, 18000, 29500};

// What the program keeps to its end (the scene's seven texture views, the sea program and
// the mesh's two buffers, and the device they belong to): nothing of the graphics context
// or the post-processing chain.
std::string HeldAtExit(int meshBuffers = 2, int views = 7, bool seaProgram = true) {
    const int buffers = meshBuffers + (seaProgram ? 1 : 0);  // the sea program's constants
    std::string text = "held by the program at exit: ";
    if (buffers) text += "ID3D11Buffer " + std::to_string(buffers) + ", ";
    text += "ID3D11Device 1, ID3D11DeviceContext 1";
    if (seaProgram) text += ", ID3D11InputLayout 1, ID3D11PixelShader 1";
    text += ", ID3D11ShaderResourceView " + std::to_string(views);
    if (seaProgram) text += ", ID3D11VertexShader 1";
    return text + "\n";
}
const std::string kHeldAtExit = HeldAtExit();

Recording Record(const std::string& directory, const std::map<std::string, std::string>& changes,
                 const std::vector<unsigned>& times = kTimes, int width = 320, int height = 180, int fps = 30) {
    std::map<std::string, std::string> settings = changes;
    settings.emplace("QUARVEL_D3D11_LIVE_OBJECTS", "1");
    return RecordProgram(directory, settings, times, width, height, fps, kLimitSeconds);
}

// The undamaged program, recorded once per test run: every test of the matrix runs in a
// process of its own, so the first one to need it records it into the build tree, under a
// lock that makes the others wait and then read it. The run's fixture clears it first.
const Recording& Reference() {
    static const Recording reference = [] {
        const std::string folder = QUARVEL_REFERENCE_DIR;
        std::filesystem::create_directories(folder);
        const int lock = open((folder + "/lock").c_str(), O_CREAT | O_RDWR, 0644);
        flock(lock, LOCK_EX);
        Recording recording;
        if (!std::ifstream(folder + "/status").good()) {
            recording = Record(ProgramDirectory(), {{"QUARVEL_RECORD", folder + "/"}});
            std::ofstream(folder + "/errors") << recording.run.errors;
            std::ofstream(folder + "/status") << recording.run.status;
        }
        ReadRecorded(folder, recording);
        std::ifstream(folder + "/status") >> recording.run.status;
        recording.run.errors = quarvel::test::ReadWholeFile(folder + "/errors");
        flock(lock, LOCK_UN);
        close(lock);
        return recording;
    }();
    return reference;
}

// Files the presentation loads but never draws with: the film grain, which nothing samples,
// and the bloom programs, which no frame uses. Without them every frame stays the same.
bool Drawn(const std::string& file) { return file != "Data/PellanGrain5.png" && file != "Shaders/Bloom.shader"; }

// Width and height from a PNG's header.
std::pair<uint32_t, uint32_t> PictureSize(const std::vector<unsigned char>& png) {
    if (png.size() < 24) return {0, 0};
    auto word = [&](size_t at) {
        return uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 | uint32_t(png[at + 2]) << 8 | png[at + 3];
    };
    return {word(16), word(20)};
}

TEST(AppProgram, EscapeOrAClosedWindowEndsTheLoopWithZero) {
    for (const char* script : {"400:keydown:escape,450:keyup:escape", "300:close"}) {
        ProgramRun run = RunProgram(ProgramDirectory(), {{"QUARVEL_SETUP", "run"}, {"QUARVEL_INPUT_SCRIPT", script}}, 60);
        EXPECT_EQ(run.status, 0) << run.errors;
        EXPECT_TRUE(run.Traced("first message pump")) << run.errors;  // the music was playing
        // Escape does not close the window; closing it does.
        EXPECT_EQ(run.Traced("DestroyWindow"), std::string(script).find("close") != std::string::npos) << script;
    }
}

TEST(AppProgram, PlaysTheMusicToItsEndOnTheNullOutputWithoutASoundDevice) {
    // An audio driver that does not exist, and ten times real time on the null output.
    ProgramRun run = RunProgram(ProgramDirectory(),
                                {{"QUARVEL_SETUP", "run"},
                                 {"QUARVEL_SETUP_WINDOWED", "1"},
                                 {"SDL_AUDIODRIVER", "no-such-driver"},
                                 {"QUARVEL_AUDIO_SPEED", "10"}},
                                kLimitSeconds);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(run.Traced("first message pump")) << run.errors;
    EXPECT_TRUE(run.Traced("client 1280x720")) << run.errors;  // the default mode, windowed
    EXPECT_FALSE(run.Traced("DestroyWindow")) << run.errors;  // it ended by itself
    EXPECT_GT(run.seconds, 3.0 + 1.0 + 0.5);                  // music, the loading pause and the closing pause
}

TEST(AppProgram, WhatStopsStartUpEndsItWithItsStatusAndSaysWhy) {
    StagedTree tree;
    const struct {
        std::map<std::string, std::string> changes;
        int status;
        const char* message;
    } cases[] = {
        {{{"QUARVEL_SETUP", "cancel"}}, 255, ""},  // Cancel in the dialog: -1
        // No display server, no recording, and nobody asked for the virtual display.
        {{{"SDL_VIDEODRIVER", ""}}, 2, "there is no display to show this on"},
        {{{"SDL_VIDEODRIVER", "x11"}}, 5, "cannot start video"},  // E_FAIL: no window
        // A recording folder below a file, and a video without ffmpeg to make it.
        {{{"QUARVEL_RECORD", tree.Path() + "/Data/overheadpylon.vbo/out/"}}, 2, "record: "},
        {{{"QUARVEL_RECORD", tree.Path() + "/out.mp4"}, {"PATH", "/nonexistent"}}, 2, "needs ffmpeg"},
    };
    for (const auto& c : cases) {
        std::map<std::string, std::string> changes = c.changes;
        changes.emplace("QUARVEL_SETUP", "run");
        ProgramRun run = RunProgram(tree.Path(), changes, 60);
        EXPECT_EQ(run.status, c.status) << run.errors;
        EXPECT_TRUE(run.Traced(c.message)) << run.errors;
        EXPECT_FALSE(run.Traced("CreateWindowExA")) << run.errors;  // no window was made
    }
}

TEST(AppFaults, TheUndamagedRunVisitsEveryTimeAndKeepsOnlyTheSceneResources) {
    const Recording& reference = Reference();
    EXPECT_EQ(reference.run.status, 0) << reference.run.errors;
    EXPECT_EQ(reference.LoopTimes(), kTimes);
    EXPECT_GE(reference.frames.size(), kTimes.size() + 3);  // the loading bar at 10, 20 and 100 %
    EXPECT_FALSE(reference.run.Traced("Error: ")) << reference.run.errors;
    EXPECT_TRUE(reference.run.Traced(kHeldAtExit)) << reference.run.errors;
    ASSERT_FALSE(reference.pictures.empty());
    EXPECT_EQ(PictureSize(reference.pictures.back()), std::make_pair(320u, 180u));
}

class AppMissingDataFile : public testing::TestWithParam<std::string> {};

TEST_P(AppMissingDataFile, RunsOnWithoutItAndSaysNothing) {
    StagedTree tree;
    tree.Remove(GetParam());
    Recording recording = Record(tree.Path(), {});
    EXPECT_EQ(recording.run.status, 0) << recording.run.errors;
    EXPECT_FALSE(recording.run.Traced("Error: ")) << recording.run.errors;
    if (GetParam().find(".mp3") != std::string::npos) {
        // No stream: the loop ends before its first frame; only the loading bar was shown.
        EXPECT_TRUE(recording.LoopTimes().empty());
        EXPECT_FALSE(recording.run.Traced("first message pump")) << recording.run.errors;
        EXPECT_FALSE(recording.frames.empty());
        return;
    }
    EXPECT_EQ(recording.LoopTimes(), kTimes);
    // A load that failed left nothing behind.
    const bool scenePicture = GetParam().find("_Ketra_") != std::string::npos || GetParam().find("_neon_") != std::string::npos;
    const bool mesh = GetParam().find(".vbo") != std::string::npos;
    EXPECT_TRUE(recording.run.Traced(HeldAtExit(mesh ? 0 : 2, scenePicture ? 6 : 7))) << recording.run.errors;
    // What the file would have drawn is missing from some frame, and nothing else changed.
    EXPECT_EQ(recording.LoopPictures() != Reference().LoopPictures(), Drawn(GetParam()));
}

std::string FileTestName(const std::string& file) {
    std::string name;
    for (char c : file)
        if (std::isalnum(static_cast<unsigned char>(c))) name += c;
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryFile, AppMissingDataFile, testing::ValuesIn(DataFiles()),
                         [](const testing::TestParamInfo<std::string>& info) { return FileTestName(info.param); });

// How a packed shader file is damaged. Every file is taken away and given text that does
// not compile; a cut file and a broken stream read as unreadable as a missing one does, so
// each is tried on one file.
enum class Damage { kMissing, kTruncated, kCorruptStream, kSyntaxError };
struct ShaderFault {
    std::string file;
    Damage damage;
};

std::vector<ShaderFault> ShaderFaults() {
    std::vector<ShaderFault> faults;
    for (const std::string& file : ShaderFiles())
        for (Damage damage : {Damage::kMissing, Damage::kSyntaxError}) faults.push_back({file, damage});
    faults.push_back({"Shaders/Shaders2D.shader", Damage::kTruncated});
    faults.push_back({"Shaders/PostProcess.shader", Damage::kCorruptStream});
    return faults;
}

// Text that does not compile, packed as the shader tool packs it.
std::vector<unsigned char> Broken() {
    std::vector<uint8_t> packed;
    std::string error;
    EXPECT_TRUE(quarvel::shader_pack::PackShaderText("float4 broken( {\n", 9, packed, error)) << error;
    return packed;
}

// The source path the program compiles each packed file under, and how many programs it
// makes from it.
struct ShaderSource {
    const char* path;
    size_t programs;
};
ShaderSource SourceOf(const std::string& file) {
    static const std::map<std::string, ShaderSource> sources = {
        {"Shaders/Shaders2D.shader", {"Shaders/Shaders2D.fx", 4}},
        {"Shaders/Shaders3D.shader", {"Shaders/Shaders3D.fx", 6}},
        {"Shaders/PostProcess.shader", {"Shaders/PostProcess.hlsl", 14}},
        {"Shaders/Bloom.shader", {"Shaders\\Bloom.hlsl", 6}},
        {"Shaders/FractalCloud.shader", {"Shaders/FractalCloud.hlsl", 1}},
    };
    auto found = sources.find(file);
    return found == sources.end() ? ShaderSource{"", 0} : found->second;
}

class AppBrokenShaderFile : public testing::TestWithParam<ShaderFault> {};

TEST_P(AppBrokenShaderFile, RunsToItsEndShowingOnlyCompilerErrors) {
    const ShaderFault& fault = GetParam();
    const ShaderSource source = SourceOf(fault.file);
    ASSERT_GT(source.programs, 0u) << fault.file << " is not a file this test knows";
    StagedTree tree;
    std::vector<unsigned char> packed = tree.Original(fault.file);
    ASSERT_GT(packed.size(), 64u);
    switch (fault.damage) {
        case Damage::kMissing: tree.Remove(fault.file); break;
        case Damage::kTruncated: packed.resize(packed.size() / 2); break;
        case Damage::kCorruptStream:
            for (size_t i = packed.size() / 3; i < packed.size() / 3 + 16; ++i) packed[i] ^= 0x5a;
            break;
        case Damage::kSyntaxError: packed = Broken(); break;
    }
    if (fault.damage != Damage::kMissing) tree.Replace(fault.file, packed);

    Recording recording = Record(tree.Path(), {});
    EXPECT_EQ(recording.run.status, 0) << recording.run.errors;
    EXPECT_EQ(recording.LoopTimes(), kTimes);
    // Only text that compiles wrongly is reported: one box for each program made from it,
    // naming the source file the program asked for. Nothing is said of unreadable files.
    const size_t expected = fault.damage == Damage::kSyntaxError ? source.programs : 0;
    EXPECT_EQ(recording.run.Count("Error: "), expected) << recording.run.errors;
    EXPECT_EQ(recording.run.Count(std::string("Error: ") + source.path + "(1,"), expected) << recording.run.errors;
    // Incomplete programs are released with the chain and the context like complete ones; an
    // incomplete sea program holds nothing.
    const bool sea = fault.file == "Shaders/FractalCloud.shader";
    EXPECT_TRUE(recording.run.Traced(HeldAtExit(2, 7, !sea))) << recording.run.errors;
    EXPECT_EQ(recording.LoopPictures() != Reference().LoopPictures(), Drawn(fault.file));
}

std::string ShaderFaultName(const testing::TestParamInfo<ShaderFault>& info) {
    static const char* const kNames[] = {"Missing", "Truncated", "CorruptStream", "SyntaxError"};
    return FileTestName(info.param.file) + kNames[static_cast<int>(info.param.damage)];
}

INSTANTIATE_TEST_SUITE_P(EveryFile, AppBrokenShaderFile, testing::ValuesIn(ShaderFaults()), ShaderFaultName);

TEST(AppFaults, MusicCutShortEndsTheLoopWhereItEnds) {
    StagedTree tree;
    const std::string music = "Data/BRISVANE KETRA MASTER 22.mp3";
    std::vector<unsigned char> bytes = tree.Original(music);
    bytes.resize(bytes.size() / 2);
    tree.Replace(music, bytes);
    Recording recording = Record(tree.Path(), {}, {}, 320, 180, 5);
    EXPECT_EQ(recording.run.status, 0) << recording.run.errors;
    std::vector<unsigned> times = recording.LoopTimes();
    ASSERT_GT(times.size(), 10u);
    // About half of the 31 s of music, and nothing after it: the stream's end ended the loop.
    EXPECT_GT(times.back(), 13000u);
    EXPECT_LT(times.back(), 17500u);
    for (size_t i = 1; i < times.size(); ++i) EXPECT_EQ(times[i] - times[i - 1], 200u) << "at frame " << i;
    EXPECT_TRUE(recording.run.Traced(kHeldAtExit)) << recording.run.errors;
}

TEST(AppFaults, ADisplayWithoutItsColourDepthKeepsTheDefaultSize) {
    // Only 16-bit modes: the dialog lists nothing, and Run keeps 1280 x 720, full screen.
    Recording recording = Record(ProgramDirectory(),
                                 {{"QUARVEL_DISPLAY_MODES", "800x600x16@60,1024x768x16@60"},
                                  {"QUARVEL_SETUP_MODE", ""},
                                  {"QUARVEL_SETUP_WINDOWED", "0"}},
                                 {0, 5000});
    EXPECT_EQ(recording.run.status, 0) << recording.run.errors;
    EXPECT_TRUE(recording.run.Traced("client 1280x720 popup")) << recording.run.errors;
    EXPECT_EQ(recording.LoopTimes(), (std::vector<unsigned>{0, 5000}));
    ASSERT_FALSE(recording.pictures.empty());
    EXPECT_EQ(PictureSize(recording.pictures.back()), std::make_pair(1280u, 720u));
    EXPECT_TRUE(recording.run.Traced(kHeldAtExit)) << recording.run.errors;
}

TEST(AppFaults, ClosingTheWindowDuringStartUpEndsBeforeTheFirstFrame) {
    // Asked while start-up is still loading; the request waits in the queue for the loop.
    Recording recording = Record(ProgramDirectory(), {{"QUARVEL_INPUT_SCRIPT", "window+0:close"}});
    EXPECT_EQ(recording.run.status, 0) << recording.run.errors;
    EXPECT_TRUE(recording.run.Traced("DestroyWindow")) << recording.run.errors;
    EXPECT_TRUE(recording.LoopTimes().empty());
    EXPECT_FALSE(recording.frames.empty());  // the loading bar was shown
    EXPECT_TRUE(recording.run.Traced(kHeldAtExit)) << recording.run.errors;
}

TEST(AppFaults, AFloodOfMessagesStarvesDrawingButNotTheClock) {
    // Six seconds of mouse moves from about two seconds into the music.
    Recording recording = Record(ProgramDirectory(), {{"QUARVEL_INPUT_SCRIPT", "2000:flood:6000"}}, {}, 320, 180, 5);
    EXPECT_EQ(recording.run.status, 0) << recording.run.errors;
    EXPECT_TRUE(recording.run.Traced("input script: flood over after")) << recording.run.errors;
    std::vector<unsigned> times = recording.LoopTimes();
    ASSERT_GT(times.size(), 2u);
    // The music went on while no frame was drawn: one gap of the flood's length, frames at the
    // recording's pace elsewhere, and the loop still ends at the first frame past 30 s.
    size_t gaps = 0;
    for (size_t i = 1; i < times.size(); ++i) {
        const unsigned step = times[i] - times[i - 1];
        if (step >= 6000) {
            ++gaps;
            EXPECT_LT(step, 6500u);
        } else {
            EXPECT_EQ(step, 200u) << "at frame " << i;
        }
    }
    EXPECT_EQ(gaps, 1u);
    EXPECT_GT(times.back(), 30000u);
    EXPECT_LE(times[times.size() - 2], 30000u);
    EXPECT_TRUE(recording.run.Traced(kHeldAtExit)) << recording.run.errors;
}

}  // namespace
