// Decoded PCM indexed by absolute frame position: the decoder writes ahead of the playback
// position, and what has been played stays readable (for level and spectrum) until the
// writer comes round again.
#pragma once

#include <cstdint>
#include <vector>

namespace quarvel::audio {

class PcmRing {
public:
    // `capacityFrames` is rounded up to a power of two.
    PcmRing(int channels, uint64_t capacityFrames);

    int Channels() const { return channels_; }
    uint64_t Capacity() const { return mask_ + 1; }
    void Write(uint64_t position, const int16_t* frames, int count);
    // The frame stored for `position`; whether it is still that frame is the caller's
    // bookkeeping.
    const int16_t* Frame(uint64_t position) const {
        return samples_.data() + (position & mask_) * static_cast<uint64_t>(channels_);
    }

private:
    int channels_;
    uint64_t mask_;
    std::vector<int16_t> samples_;
};

}  // namespace quarvel::audio
