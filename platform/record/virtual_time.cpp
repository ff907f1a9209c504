#include "virtual_time.h"

#include <algorithm>
#include <cmath>

namespace quarvel::record {

uint32_t MusicMsForFrames(uint64_t frames, int rate) {
    // As the main loop does it: position in bytes over bytes per second (16-bit stereo), in
    // double; kept as float seconds; times 1000 in float, truncated.
    const double seconds = static_cast<double>(frames * 4) / static_cast<double>(static_cast<uint64_t>(rate) * 4);
    return static_cast<uint32_t>(static_cast<float>(seconds) * 1000.0f);
}

uint64_t FramesForMusicMs(uint32_t ms, int rate) {
    const uint64_t nearest = static_cast<uint64_t>(ms) * static_cast<uint64_t>(rate) / 1000u;
    // Float rounding can put the exact frame a hair below the millisecond; a frame or two
    // later is still inside it (a frame is well under a millisecond).
    for (uint64_t frames = nearest; frames < nearest + 8; ++frames)
        if (MusicMsForFrames(frames, rate) == ms) return frames;
    return nearest;
}

VirtualTime::VirtualTime(double fps, std::vector<uint32_t> timesMs, uint64_t startMs)
    : fps_(fps), times_(std::move(timesMs)), startMs_(startMs) {}

double VirtualTime::MsSince(uint64_t presents, uint64_t slept) const {
    return static_cast<double>(presents_ - presents) * 1000.0 / fps_ + static_cast<double>(sleptMs_ - slept);
}

uint64_t VirtualTime::NowMs() const { return startMs_ + static_cast<uint64_t>(std::floor(MsSince(0, 0) + 1e-6)); }

void VirtualTime::AudioOpened(int rate) {
    audioRate_ = rate;
    audioPresents_ = presents_;
    audioSlept_ = sleptMs_;
}

uint64_t VirtualTime::MusicFrames() const {
    const uint64_t loopFrames = LoopFrames();
    uint64_t frames;
    if (!times_.empty()) {
        frames = FramesForMusicMs(times_[std::min<uint64_t>(loopFrames, times_.size() - 1)], audioRate_);
    } else {
        // Frame k shows k / fps: counted from the frame number, not accumulated, so it never
        // drifts.
        frames = static_cast<uint64_t>(std::floor(static_cast<double>(loopFrames) * audioRate_ / fps_ + 1e-6));
    }
    // Sleeps after the start (the pause before shutdown) let the music play on.
    return frames + (sleptMs_ - playSlept_) * static_cast<uint64_t>(audioRate_) / 1000u;
}

uint64_t VirtualTime::HeardFrames() const {
    if (!AudioIsOpen()) return 0;
    if (playing_) return heardAtPlay_ + MusicFrames();
    return static_cast<uint64_t>(std::floor(MsSince(audioPresents_, audioSlept_) * audioRate_ / 1000.0 + 1e-6));
}

void VirtualTime::MusicStarted() {
    if (playing_) return;
    heardAtPlay_ = HeardFrames();
    playing_ = true;
    playPresents_ = presents_;
    playSlept_ = sleptMs_;
}

uint32_t VirtualTime::MusicMs() const {
    if (!playing_ || !AudioIsOpen()) return 0;
    return MusicMsForFrames(MusicFrames(), audioRate_);
}

}  // namespace quarvel::record
