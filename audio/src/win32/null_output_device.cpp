#include "null_output_device.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace quarvel::audio {
namespace {

using Clock = std::chrono::steady_clock;

// A render covers this much time; the thread stays up to two renders ahead of the clock.
constexpr int kChunkMilliseconds = 10;

class NullOutputDevice : public OutputDevice {
public:
    NullOutputDevice(int rate, RenderFunction render, void* user)
        : rate_(rate),
          render_(render),
          user_(user),
          chunk_(std::max(1, rate * kChunkMilliseconds / 1000)),
          scratch_(static_cast<size_t>(chunk_) * 2),
          anchorTime_(Clock::now()) {
        thread_ = std::thread(&NullOutputDevice::Run, this);
    }

    ~NullOutputDevice() override {
        {
            std::lock_guard<std::mutex> hold(lock_);
            quit_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    uint64_t FramesHeard() override {
        std::lock_guard<std::mutex> hold(lock_);
        floor_ = std::max(floor_, PlayedLocked(Clock::now()));
        return floor_;
    }

    bool IsNull() const override { return true; }

private:
    // Frames the virtual device has played by `now`: never more than it was given.
    uint64_t PlayedLocked(Clock::time_point now) const {
        double seconds = std::chrono::duration<double>(now - anchorTime_).count();
        auto played = anchorFrames_ + static_cast<uint64_t>(std::max(0.0, seconds) * rate_);
        return std::min(played, pulled_);
    }

    void Run() {
        std::unique_lock<std::mutex> hold(lock_);
        while (!quit_) {
            Clock::time_point now = Clock::now();
            double seconds = std::chrono::duration<double>(now - anchorTime_).count();
            double played = anchorFrames_ + seconds * rate_;
            if (played > static_cast<double>(pulled_)) {
                // Rendering fell behind and the device ran dry: like a real one it plays on
                // from here, so the heard clock never jumps.
                anchorFrames_ = pulled_;
                anchorTime_ = now;
                played = static_cast<double>(pulled_);
            }
            auto ahead = static_cast<double>(pulled_) - played;
            if (ahead < 2.0 * chunk_) {
                hold.unlock();
                render_(user_, scratch_.data(), chunk_);
                hold.lock();
                pulled_ += static_cast<uint64_t>(chunk_);
                continue;
            }
            // Sleep until only one render is left to play.
            double wait = (ahead - chunk_) / rate_;
            wake_.wait_for(hold, std::chrono::duration<double>(wait));
        }
    }

    const int rate_;
    const RenderFunction render_;
    void* const user_;
    const int chunk_;
    std::vector<int16_t> scratch_;

    std::mutex lock_;
    std::condition_variable wake_;
    bool quit_ = false;
    uint64_t pulled_ = 0;
    uint64_t floor_ = 0;
    uint64_t anchorFrames_ = 0;
    Clock::time_point anchorTime_;
    std::thread thread_;
};

}  // namespace

std::unique_ptr<OutputDevice> StartNullOutputDevice(int rate, RenderFunction render, void* user) {
    if (rate <= 0 || render == nullptr) return nullptr;
    return std::make_unique<NullOutputDevice>(rate, render, user);
}

}  // namespace quarvel::audio
