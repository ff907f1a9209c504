#include "test_signals.h"

#include "mp3_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "scratch.h"

namespace quarvel::test {
namespace {

std::string WriteSine(const std::string& path, double frequency, double amplitude, double seconds, int channels,
                      int rate) {
    auto frames = static_cast<size_t>(seconds * rate);
    std::vector<int16_t> pcm(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        double value = amplitude * std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(i) / rate);
        auto sample = static_cast<int16_t>(std::lround(value * 32767.0));
        for (int c = 0; c < channels; ++c) pcm[i * channels + c] = sample;
    }
    if (!quarvel::music::WriteMp3(path, pcm.data(), frames, channels, rate, 320))
        ADD_FAILURE() << "cannot encode " << path;
    return path;
}

struct Folder {
    ScratchFolder folder;
    TestFiles files;

    Folder() {
        files.sine1k = WriteSine(folder / "sine1k.mp3", 1000.0, kSineAmplitude, 2.0, 2, 44100);
        files.binSine = WriteSine(folder / "binsine.mp3", kBinSineBin * 44100.0 / 2048.0, kBinSineAmplitude, 2.0, 2, 44100);
        const char text[] = "These are not the frames you are looking for.\n";
        files.textFile = folder / "notes.mp3";
        files.emptyFile = folder / "empty.mp3";
        WriteWholeFile(files.textFile, text, sizeof text - 1);
        WriteWholeFile(files.emptyFile, text, 0);
        files.missing = folder / "no such file.mp3";
    }
};

}  // namespace

const TestFiles& Files() {
    static Folder folder;
    return folder.files;
}

}  // namespace quarvel::test
