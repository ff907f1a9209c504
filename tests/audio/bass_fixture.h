// A library set up afresh for each test on this machine's null output, with helpers to wait
// for what the listener has heard rather than for wall-clock time.
#pragma once

#include "test_signals.h"

#include <bass.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace quarvel::test {

class BassTest : public ::testing::Test {
protected:
    void TearDown() override {
        BASS_Free();
        unsetenv("QUARVEL_AUDIO_SPEED");
    }

    // `speed`: how many times faster than real time the null output runs.
    static void Start(const char* speed, DWORD freq = 44100) {
        setenv("QUARVEL_AUDIO_SPEED", speed, 1);
        ASSERT_TRUE(BASS_Init(-1, freq, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    }

    static HSTREAM Open(const std::string& path) {
        HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
        EXPECT_NE(stream, 0u) << path << ": error " << BASS_ErrorGetCode();
        return stream;
    }

    static double HeardSeconds(HSTREAM stream) {
        return BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetPosition(stream, BASS_POS_BYTE));
    }

    // Real seconds until the stream reports stopped, or `limit` if it never does.
    static double WaitForEnd(HSTREAM stream, double limit) {
        auto start = std::chrono::steady_clock::now();
        for (;;) {
            double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED || waited >= limit) return waited;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    // Waits until `seconds` of the stream have been heard; false after `limit` real seconds.
    static bool WaitUntilHeard(HSTREAM stream, double seconds, double limit = 5.0) {
        auto start = std::chrono::steady_clock::now();
        while (HeardSeconds(stream) < seconds) {
            if (std::chrono::steady_clock::now() - start > std::chrono::duration<double>(limit)) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
};

}  // namespace quarvel::test
