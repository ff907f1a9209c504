// One playing file: a decoder thread filling a ring a little ahead of playback, the render
// step that the output thread runs to take frames from it (converted to the output's rate
// and to stereo), and the bookkeeping that says what is being heard.
//
// Every method named ...Locked expects the engine's lock (given at construction) to be held;
// the decoder thread takes the same lock only to hand over decoded frames.
#pragma once

#include "decoder.h"
#include "pcm_ring.h"
#include "timeline.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quarvel::audio {

class Stream {
public:
    // Frames kept behind the playback position for level and spectrum; more than the output
    // latency plus the longest analysis window.
    static constexpr uint64_t kHistoryFrames = 1u << 16;
    // History plus decode-ahead: about three seconds at 44.1 kHz.
    static constexpr uint64_t kRingFrames = 1u << 17;

    Stream(std::mutex& lock, std::unique_ptr<Decoder> decoder);
    // Stops the decoder thread; the engine's lock must not be held.
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    PcmFormat Format() const { return format_; }
    uint64_t BytesPerSecond() const;

    void PlayLocked(bool restart);
    void StopLocked();
    bool IsPlayingLocked() const { return state_ == State::Playing; }
    // Whether it played to its end; as of the last ActivityLocked.
    bool EndedLocked() const { return state_ == State::Ended; }
    // Adds up to `frames` stereo frames, at `outRate`, into `mix`; `outStart` is the output
    // frame number of mix[0].
    void RenderLocked(float* mix, int frames, uint64_t outStart, int outRate);
    // Whether rendering `frames` output frames at `outRate` now would find them decoded
    // (always true when not playing, or when the end is decoded).
    bool DecodedAheadLocked(int frames, int outRate) const;
    // A BASS_ACTIVE_ value for the moment output frame `heard` reaches the listener.
    unsigned ActivityLocked(uint64_t heard);
    // Whole source frames heard by output frame `heard`.
    uint64_t PositionLocked(uint64_t heard) const;
    // Stereo frames (mono sources doubled) `end - count` to `end`, as floats in -1..1;
    // frames before the start or no longer kept read as silence.
    void HistoryLocked(uint64_t end, int count, float* stereo) const;
    void WakeDecoderLocked() { wake_.notify_one(); }

private:
    enum class State { Stopped, Playing, Ended };

    void DecodeLoop();
    void RestartLocked();
    // Frame `frame` is in the ring until the writer reaches `frame + capacity`.
    bool HoldsLocked(uint64_t frame) const {
        return frame < written_ && frame + ring_.Capacity() >= written_;
    }

    std::mutex& lock_;
    std::unique_ptr<Decoder> decoder_;  // used by the decoder thread only, after construction
    PcmFormat format_;
    PcmRing ring_;
    Timeline timeline_;

    State state_ = State::Stopped;
    bool stalled_ = false;
    uint64_t written_ = 0;      // frames decoded into the ring since the last restart
    bool decodedAll_ = false;   // written_ is then the stream's length
    double readPosition_ = 0.0; // next source position to render, fractional when resampling
    bool drained_ = false;      // every frame has been rendered...
    uint64_t drainedAtOut_ = 0; // ...and the last one is heard at this output frame

    unsigned generation_ = 0;   // bumped by a restart; decoded frames of an older one are dropped
    bool quit_ = false;
    std::condition_variable wake_;
    std::thread thread_;
};

}  // namespace quarvel::audio
