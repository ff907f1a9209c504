// The whole program under faults, recorded on the virtual clock so every run visits the same
// music times: data and shader files missing or damaged, the music cut short, no sound
// device, a display without the listed colour depth, the window closed during start-up and a
// flood of messages. Each must end by itself with the right status, show the messages it
// should and no others, and release every device object it does not keep to the end.
#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

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

std::string TimesText(const std::vector<unsigned>& times) {
    std::string text;
    for (unsigned ms : times) text += (text.empty() ? "" : ",") + std::to_string(ms);
    return text;
}

struct Recording {
    ProgramRun run;
    std::vector<RecordedFrame> frames;
    std::vector<std::vector<unsigned char>> pictures;  // the PNG files, in frame order
    std::vector<unsigned char> table;                  // frames.tsv as written

    std::vector<unsigned> LoopTimes() const {
        std::vector<unsigned> times;
        for (const RecordedFrame& frame : frames)
            if (frame.loop) times.push_back(frame.musicMs);
        return times;
    }
    std::vector<std::vector<unsigned char>> LoopPictures() const {
        std::vector<std::vector<unsigned char>> loop;
        for (size_t i = 0; i < frames.size() && i < pictures.size(); ++i)
            if (frames[i].loop) loop.push_back(pictures[i]);
        return loop;
    }
};

// Records the program run in `directory` (the build tree unless a staged one is given) at
// `width` x `height`, windowed; `times` empty records the whole run at `fps`.
Recording Record(const std::string& directory, std::map<std::string, std::string> changes,
                 const std::vector<unsigned>& times = kTimes, int width = 320, int height = 180, int fps = 30) {
    char folder[] = "/tmp/quarvel_recording_XXXXXX";
    Recording recording;
    if (!mkdtemp(folder)) {
        ADD_FAILURE() << "cannot make a folder";
        return recording;
    }
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::map<std::string, std::string> settings = {
        {"QUARVEL_SETUP", "run"},
        {"QUARVEL_DISPLAY_MODES", size + "x32@60"},
        {"QUARVEL_SETUP_WINDOWED", "1"},
        {"QUARVEL_RECORD", std::string(folder) + "/"},
        {"QUARVEL_RECORD_FPS", std::to_string(fps)},
        {"QUARVEL_RECORD_TIMES", TimesText(times)},
        {"QUARVEL_D3D11_LIVE_OBJECTS", "1"},
    };
    for (const auto& [name, value] : changes) settings[name] = value;
    recording.run = RunProgram(directory, settings, kLimitSeconds);
    recording.frames = ReadFrames(folder);
    recording.table = ReadFile(std::string(folder) + "/frames.tsv");
    for (const RecordedFrame& frame : recording.frames) {
        char name[32];
        std::snprintf(name, sizeof name, "/%05d.png", frame.number);
        recording.pictures.push_back(ReadFile(folder + std::string(name)));
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return recording;
}

// The undamaged program, recorded once for every test of a process that compares with it.
const Recording& Reference() {
    static const Recording reference = Record(ProgramDirectory(), {});
    return reference;
}

bool AnyLoopPictureDiffers(const Recording& a, const Recording& b) {
    auto first = a.LoopPictures(), second = b.LoopPictures();
    if (first.size() != second.size()) return true;
    for (size_t i = 0; i < first.size(); ++i)
        if (first[i] != second[i]) return true;
    return false;
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

TEST(AppFaults, TwoRecordingsOfTheSameTimesAreIdentical) {
    const std::vector<unsigned> times = {0, 1000, 5000, 15500, 17500, 18500, 25000, 29500};
    Recording first = Record(ProgramDirectory(), {}, times, 640, 360);
    Recording second = Record(ProgramDirectory(), {}, times, 640, 360);
    ASSERT_EQ(first.run.status, 0) << first.run.errors;
    ASSERT_EQ(second.run.status, 0) << second.run.errors;
    EXPECT_EQ(first.LoopTimes(), times);
    EXPECT_FALSE(first.table.empty());
    EXPECT_EQ(first.table, second.table);
    ASSERT_EQ(first.pictures.size(), second.pictures.size());
    for (size_t i = 0; i < first.pictures.size(); ++i) {
        EXPECT_FALSE(first.pictures[i].empty()) << "frame " << i;
        EXPECT_TRUE(first.pictures[i] == second.pictures[i]) << "frame " << i << " differs between the runs";
    }
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
    EXPECT_EQ(AnyLoopPictureDiffers(recording, Reference()), Drawn(GetParam()));
}

std::string FileTestName(const testing::TestParamInfo<std::string>& info) {
    std::string name;
    for (char c : info.param)
        if (std::isalnum(static_cast<unsigned char>(c))) name += c;
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryFile, AppMissingDataFile, testing::ValuesIn(DataFiles()), FileTestName);

// How a packed shader file is damaged.
enum class Damage { kMissing, kTruncated, kCorruptStream, kSyntaxError };

struct ShaderFault {
    std::string file;
    Damage damage;
};

std::vector<ShaderFault> ShaderFaults() {
    std::vector<ShaderFault> faults;
    for (const std::string& file : ShaderFiles())
        for (Damage damage : {Damage::kMissing, Damage::kTruncated, Damage::kCorruptStream, Damage::kSyntaxError})
            faults.push_back({file, damage});
    return faults;
}

std::string ShaderFaultName(const testing::TestParamInfo<ShaderFault>& info) {
    static const char* const kNames[] = {"Missing", "Truncated", "CorruptStream", "SyntaxError"};
    std::string name = FileTestName({info.param.file, info.index});
    return name + kNames[static_cast<int>(info.param.damage)];
}

// The packed form: the text's length as a little-endian word, then the zlib stream.
std::vector<unsigned char> Pack(const std::string& text) {
    uLongf size = compressBound(text.size());
    std::vector<unsigned char> packed(4 + size);
    const uint32_t length = static_cast<uint32_t>(text.size());
    for (int i = 0; i < 4; ++i) packed[i] = static_cast<unsigned char>(length >> (8 * i));
    EXPECT_EQ(compress2(packed.data() + 4, &size, reinterpret_cast<const Bytef*>(text.data()), text.size(), 9), Z_OK);
    packed.resize(4 + size);
    return packed;
}

std::string Unpack(const std::vector<unsigned char>& packed) {
    if (packed.size() < 4) return "";
    uint32_t length = packed[0] | packed[1] << 8 | packed[2] << 16 | uint32_t(packed[3]) << 24;
    std::string text(length, '\0');
    uLongf size = length;
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(text.data()), &size, packed.data() + 4, packed.size() - 4), Z_OK);
    text.resize(size);
    return text;
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
        case Damage::kSyntaxError: packed = Pack("float4 broken( {\n" + Unpack(packed)); break;
    }
    if (fault.damage != Damage::kMissing) tree.Replace(fault.file, packed);

    Recording recording = Record(tree.Path(), {});
    EXPECT_EQ(recording.run.status, 0) << recording.run.errors;
    EXPECT_EQ(recording.LoopTimes(), kTimes);
    // Only text that compiles wrongly is reported: one box for each program made from it,
    // naming the source file the program asked for. Nothing is said of unreadable files.
    const size_t boxes = recording.run.Count("Error: ");
    if (fault.damage == Damage::kSyntaxError) {
        EXPECT_EQ(boxes, source.programs) << recording.run.errors;
        EXPECT_EQ(recording.run.Count(std::string("Error: ") + source.path + "(1,"), source.programs)
            << recording.run.errors;
    } else {
        EXPECT_EQ(boxes, 0u) << recording.run.errors;
    }
    // Incomplete programs are released with the chain and the context like complete ones; an
    // incomplete sea program holds nothing.
    const bool sea = fault.file == "Shaders/FractalCloud.shader";
    EXPECT_TRUE(recording.run.Traced(HeldAtExit(2, 7, !sea))) << recording.run.errors;
    EXPECT_EQ(AnyLoopPictureDiffers(recording, Reference()), Drawn(fault.file));
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

TEST(AppFaults, WithoutASoundDeviceThePresentationPlaysOnTheNullOutput) {
    // An audio driver that does not exist: the library's output cannot open anything.
    ProgramRun run = RunProgram(ProgramDirectory(),
                                {{"QUARVEL_SETUP", "run"},
                                 {"QUARVEL_SETUP_WINDOWED", "1"},
                                 {"QUARVEL_DISPLAY_MODES", "320x180x32@60"},
                                 {"SDL_AUDIODRIVER", "no-such-driver"},
                                 {"QUARVEL_AUDIO_SPEED", "10"}},
                                kLimitSeconds);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(run.Traced("first message pump")) << run.errors;
    EXPECT_FALSE(run.Traced("DestroyWindow")) << run.errors;  // it ended by itself
    EXPECT_GT(run.seconds, 3.0 + 1.0 + 0.5);                  // the music was played, at ten times its pace
}

TEST(AppFaults, ARecordingPathThatCannotBeMadeStopsBeforeAnyWindow) {
    StagedTree tree;
    // A folder below a file.
    ProgramRun run = RunProgram(tree.Path(),
                                {{"QUARVEL_SETUP", "run"}, {"QUARVEL_RECORD", tree.Path() + "/Data/overheadpylon.vbo/out/"}},
                                kLimitSeconds);
    EXPECT_EQ(run.status, 2) << run.errors;
    EXPECT_TRUE(run.Traced("record: ")) << run.errors;
    EXPECT_FALSE(run.Traced("CreateWindowExA")) << run.errors;
}

TEST(AppFaults, ADisplayWithoutItsColourDepthKeepsTheDefaultSize) {
    // Only 16-bit modes: the dialog lists nothing, and Run keeps 1280 x 720, full screen.
    Recording recording = Record(ProgramDirectory(),
                                 {{"QUARVEL_DISPLAY_MODES", "800x600x16@60,1024x768x16@60"},
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
    Recording recording =
        Record(ProgramDirectory(), {{"QUARVEL_INPUT_SCRIPT", "2000:flood:6000"}}, {}, 320, 180, 5);
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
