#include "pcm_ring.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace quarvel::audio {

PcmRing::PcmRing(int channels, uint64_t capacityFrames)
    : channels_(std::max(1, channels)),
      mask_(std::bit_ceil(std::max<uint64_t>(capacityFrames, 2)) - 1),
      samples_((mask_ + 1) * static_cast<uint64_t>(channels_), 0) {}

void PcmRing::Write(uint64_t position, const int16_t* frames, int count) {
    auto channels = static_cast<uint64_t>(channels_);
    while (count > 0) {
        uint64_t slot = position & mask_;
        uint64_t run = std::min<uint64_t>(static_cast<uint64_t>(count), mask_ + 1 - slot);
        std::memcpy(samples_.data() + slot * channels, frames, run * channels * sizeof(int16_t));
        frames += run * channels;
        position += run;
        count -= static_cast<int>(run);
    }
}

}  // namespace quarvel::audio
