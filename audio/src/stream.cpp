#include "stream.h"

#include <bass.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace quarvel::audio {
namespace {

constexpr int kDecodeChunkFrames = 4096;
constexpr float kSampleScale = 1.0f / 32768.0f;

}  // namespace

Stream::Stream(std::mutex& lock, std::unique_ptr<Decoder> decoder)
    : lock_(lock),
      decoder_(std::move(decoder)),
      format_(decoder_->Format()),
      ring_(format_.channels, kRingFrames) {
    thread_ = std::thread(&Stream::DecodeLoop, this);
}

Stream::~Stream() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        quit_ = true;
        wake_.notify_all();
    }
    thread_.join();
}

uint64_t Stream::BytesPerSecond() const {
    return static_cast<uint64_t>(format_.rate) * static_cast<uint64_t>(format_.channels) * 2u;
}

void Stream::DecodeLoop() {
    std::vector<int16_t> chunk(static_cast<size_t>(kDecodeChunkFrames) * format_.channels);
    std::unique_lock<std::mutex> hold(lock_);
    unsigned decoding = generation_;
    while (!quit_) {
        if (decoding != generation_) {
            decoding = generation_;
            hold.unlock();
            bool rewound = decoder_->Rewind();
            hold.lock();
            if (decoding != generation_) continue;
            if (!rewound) decodedAll_ = true;  // cannot go back: it plays as an empty stream
            continue;
        }
        uint64_t keptFrom = static_cast<uint64_t>(readPosition_);
        keptFrom = keptFrom > kHistoryFrames ? keptFrom - kHistoryFrames : 0;
        uint64_t room = keptFrom + ring_.Capacity() - written_;
        if (decodedAll_ || room == 0) {
            // Woken by the renderer as it consumes, by a restart, or by the destructor; the
            // timeout only guards against a missed wake-up.
            wake_.wait_for(hold, std::chrono::milliseconds(20));
            continue;
        }
        int want = static_cast<int>(std::min<uint64_t>(room, kDecodeChunkFrames));
        hold.unlock();
        int got = decoder_->Read(chunk.data(), want);
        hold.lock();
        if (decoding != generation_) continue;  // restarted meanwhile: these frames are stale
        if (got > 0) {
            ring_.Write(written_, chunk.data(), got);
            written_ += static_cast<uint64_t>(got);
        } else {
            // The end, or damage we cannot decode past: what was decoded is the stream.
            decodedAll_ = true;
        }
    }
}

void Stream::RestartLocked() {
    bool atStart = readPosition_ == 0.0 && !drained_;
    state_ = State::Playing;
    stalled_ = false;
    timeline_.Reset(0.0);
    if (atStart) return;  // the ring already holds the stream from its first frame
    ++generation_;
    written_ = 0;
    decodedAll_ = false;
    readPosition_ = 0.0;
    drained_ = false;
    wake_.notify_all();
}

void Stream::PlayLocked(bool restart) {
    if (restart || state_ == State::Ended || (state_ == State::Stopped && drained_)) {
        RestartLocked();
    } else if (state_ == State::Stopped) {
        state_ = State::Playing;
        stalled_ = false;
    }
}

void Stream::StopLocked() {
    if (state_ == State::Playing) state_ = State::Stopped;
    stalled_ = false;
}

void Stream::RenderLocked(float* mix, int frames, uint64_t outStart, int outRate) {
    if (state_ != State::Playing || drained_) return;
    double step = static_cast<double>(format_.rate) / outRate;
    double startPosition = readPosition_;
    bool mono = format_.channels == 1;
    int produced = 0;
    stalled_ = false;
    for (; produced < frames; ++produced) {
        auto index = static_cast<uint64_t>(readPosition_);
        float fraction = static_cast<float>(readPosition_ - static_cast<double>(index));
        if (index >= written_) {
            if (decodedAll_) {
                drained_ = true;
                drainedAtOut_ = outStart + static_cast<uint64_t>(produced);
            } else {
                stalled_ = true;
            }
            break;
        }
        const int16_t* a = ring_.Frame(index);
        const int16_t* b = a;
        if (fraction > 0.0f) {
            if (index + 1 < written_) {
                b = ring_.Frame(index + 1);
            } else if (!decodedAll_) {
                stalled_ = true;
                break;
            }
        }
        float left = a[0] + fraction * (b[0] - a[0]);
        float right = mono ? left : a[1] + fraction * (b[1] - a[1]);
        mix[2 * produced] += left * kSampleScale;
        mix[2 * produced + 1] += right * kSampleScale;
        readPosition_ += step;
    }
    timeline_.Add({outStart, static_cast<uint64_t>(produced), startPosition, step});
    if (produced > 0) wake_.notify_one();
}

bool Stream::DecodedAheadLocked(int frames, int outRate) const {
    if (state_ != State::Playing || drained_ || decodedAll_) return true;
    const double step = static_cast<double>(format_.rate) / outRate;
    // The last frame read, plus the one after it that interpolation looks at.
    return static_cast<double>(written_) >= readPosition_ + step * frames + 2.0;
}

unsigned Stream::ActivityLocked(uint64_t heard) {
    if (state_ == State::Playing && drained_ && heard >= drainedAtOut_) state_ = State::Ended;
    switch (state_) {
        case State::Playing: return stalled_ ? BASS_ACTIVE_STALLED : BASS_ACTIVE_PLAYING;
        case State::Stopped:
        case State::Ended: break;
    }
    return BASS_ACTIVE_STOPPED;
}

uint64_t Stream::PositionLocked(uint64_t heard) const {
    double position = std::max(0.0, timeline_.SourceAt(heard));
    auto frames = static_cast<uint64_t>(position);
    // Interpolating towards a frame past the last one never makes that frame heard.
    if (decodedAll_) frames = std::min(frames, written_);
    return frames;
}

void Stream::HistoryLocked(uint64_t end, int count, float* stereo) const {
    bool mono = format_.channels == 1;
    for (int i = 0; i < count; ++i) {
        uint64_t back = static_cast<uint64_t>(count - i);
        float left = 0.0f;
        float right = 0.0f;
        if (end >= back && HoldsLocked(end - back)) {
            const int16_t* frame = ring_.Frame(end - back);
            left = frame[0] * kSampleScale;
            right = mono ? left : frame[1] * kSampleScale;
        }
        stereo[2 * i] = left;
        stereo[2 * i + 1] = right;
    }
}

}  // namespace quarvel::audio
