// Turns the wave device's 32-bit played-samples counter into the 64-bit heard clock that
// output_device.h promises: extended across the counter's wrap, never past what was handed to
// the device, and never backwards (a driver may report a smaller value right after a reset or
// between buffers).
#pragma once

#include <cstdint>

namespace quarvel::audio {

class HeardClock {
public:
    // `counter`: the device's counter now (read at least once per wrap, which at 44.1 kHz is
    // hours); `written`: frames handed to the device so far. The frames heard.
    uint64_t Update(uint32_t counter, uint64_t written) {
        if (started_) {
            // The difference modulo 2^32, read as signed: a wrap is a small step forward, a
            // driver's step back a small step back.
            auto step = static_cast<int32_t>(counter - last_);
            if (step >= 0) {
                extended_ += static_cast<uint64_t>(step);
            } else {
                uint64_t back = static_cast<uint64_t>(-static_cast<int64_t>(step));
                extended_ = extended_ > back ? extended_ - back : 0;
            }
        } else {
            extended_ = counter;
            started_ = true;
        }
        last_ = counter;
        uint64_t heard = extended_ < written ? extended_ : written;
        if (heard > floor_) floor_ = heard;
        return floor_;
    }
    // When the counter cannot be read: what is known to be heard at least.
    uint64_t Floor() const { return floor_; }

private:
    bool started_ = false;
    uint32_t last_ = 0;
    uint64_t extended_ = 0;
    uint64_t floor_ = 0;
};

}  // namespace quarvel::audio
