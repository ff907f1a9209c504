// The time of a recording run. Nothing here reads a real clock: time moves only when the
// program presents a frame (1 / fps) or sleeps, so what a frame shows does not depend on
// how long it took to draw.
#pragma once

#include <cstdint>
#include <vector>

namespace quarvel::record {

// Output frames at `rate` Hz whose position the audio library reports as a music time of
// exactly `ms`: it turns bytes into seconds in double precision, keeps them as a float and
// truncates float seconds times 1000.
uint64_t FramesForMusicMs(uint32_t ms, int rate);
// The music time in whole milliseconds the program derives from a position of `frames`.
uint32_t MusicMsForFrames(uint64_t frames, int rate);

class VirtualTime {
public:
    // `startMs`: what GetTickCount reads before anything happened.
    VirtualTime(double fps, std::vector<uint32_t> timesMs, uint64_t startMs);

    uint64_t NowMs() const;
    // Exact virtual milliseconds since construction.
    double ElapsedMs() const { return MsSince(0, 0); }
    void Sleep(uint32_t ms) { sleptMs_ += ms; }
    void Present() { ++presents_; }

    // Audio output frames count from the moment the output opened.
    void AudioOpened(int rate);
    bool AudioIsOpen() const { return audioRate_ > 0; }
    uint64_t HeardFrames() const;

    void MusicStarted();
    bool Playing() const { return playing_; }
    // Frames presented since the music started (the main loop's frame number).
    uint64_t LoopFrames() const { return presents_ - playPresents_; }
    // With a list of times: every one of them has been presented.
    bool MusicOver() const { return playing_ && !times_.empty() && LoopFrames() >= times_.size(); }
    // The music time a frame presented now shows (0 before the music starts).
    uint32_t MusicMs() const;

private:
    // Frames of music heard since it started (the rate of the open output).
    uint64_t MusicFrames() const;
    // Virtual milliseconds since `presents` frames and `slept` milliseconds, as a double.
    double MsSince(uint64_t presents, uint64_t slept) const;

    double fps_;
    std::vector<uint32_t> times_;
    uint64_t startMs_;
    uint64_t presents_ = 0;
    uint64_t sleptMs_ = 0;

    int audioRate_ = 0;
    uint64_t audioPresents_ = 0, audioSlept_ = 0;

    bool playing_ = false;
    uint64_t playPresents_ = 0, playSlept_ = 0;
    uint64_t heardAtPlay_ = 0;
};

}  // namespace quarvel::record
