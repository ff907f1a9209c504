// Small MP3 files of known content, encoded once per test process into a temporary folder.
// 320 kbit/s: at lower rates LAME's quantiser takes a few tenths of a dB off a pure tone.
#pragma once

#include <string>

namespace quarvel::test {

constexpr double kSineAmplitude = 0.5;
constexpr double kBinSineAmplitude = 0.9;
constexpr int kBinSineBin = 93;  // its frequency is the centre of this bin at 44.1 kHz

struct TestFiles {
    std::string sine1k;     // 1 kHz, amplitude kSineAmplitude, stereo 44.1 kHz, 2 s
    std::string binSine;    // bin kBinSineBin's centre, amplitude kBinSineAmplitude, stereo 44.1 kHz, 2 s
    std::string textFile;   // words, not audio
    std::string emptyFile;  // no bytes
    std::string missing;    // a path where nothing is
};

const TestFiles& Files();

}  // namespace quarvel::test
