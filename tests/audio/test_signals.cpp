#include "test_signals.h"

#include "mp3_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <unistd.h>
#include <vector>

namespace quarvel::test {
namespace {

std::string WriteSine(const std::filesystem::path& dir, const char* name, double frequency,
                      double amplitude, double seconds, int channels, int rate) {
    auto frames = static_cast<size_t>(seconds * rate);
    std::vector<int16_t> pcm(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        double value = amplitude * std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(i) / rate);
        auto sample = static_cast<int16_t>(std::lround(value * 32767.0));
        for (int c = 0; c < channels; ++c) pcm[i * channels + c] = sample;
    }
    std::string path = (dir / name).string();
    if (!quarvel::tools::WriteMp3(path, pcm.data(), frames, channels, rate, 320)) {
        ADD_FAILURE() << "cannot encode " << path;
    }
    return path;
}

std::string WriteText(const std::filesystem::path& dir, const char* name, const char* text) {
    std::string path = (dir / name).string();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) {
        std::fputs(text, file);
        std::fclose(file);
    }
    return path;
}

struct Folder {
    std::filesystem::path path;
    TestFiles files;

    Folder() {
        path = std::filesystem::temp_directory_path() / ("quarvel-audio-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        files.sine1k = WriteSine(path, "sine1k.mp3", 1000.0, kSineAmplitude, 2.0, 2, 44100);
        files.binSine = WriteSine(path, "binsine.mp3", kBinSineBin * 44100.0 / 2048.0, kBinSineAmplitude, 2.0, 2, 44100);
        files.silence = WriteSine(path, "silence.mp3", 0.0, 0.0, 1.0, 2, 44100);
        files.mono32k = WriteSine(path, "mono32k.mp3", 1000.0, kSineAmplitude, 2.0, 1, 32000);
        files.textFile = WriteText(path, "notes.mp3", "These are not the frames you are looking for.\n");
        files.emptyFile = WriteText(path, "empty.mp3", "");
        files.missing = (path / "no such file.mp3").string();
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

const TestFiles& Files() {
    static Folder folder;
    return folder.files;
}

}  // namespace quarvel::test
