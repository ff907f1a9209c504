// The output used when there is nothing to play to: a thread that takes samples at the
// sample rate (times QUARVEL_AUDIO_SPEED), scheduled on absolute times of a monotonic clock
// so it does not drift however late each wake-up is.
#include "output_state.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quarvel::audio_output {
namespace {

// One pull covers this much of the clock's time; the thread keeps one pull ahead.
constexpr double kChunkSeconds = 0.005;
constexpr int kMinChunkFrames = 32;
constexpr int kMaxChunkFrames = 16384;

double SpeedFromEnvironment() {
    const char* text = std::getenv("QUARVEL_AUDIO_SPEED");
    if (text == nullptr || *text == '\0') return 1.0;
    char* end = nullptr;
    double speed = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(speed) || speed <= 0.0) return 1.0;
    return speed;
}

Clock::time_point TimeOfFrame(const Output& output, uint64_t frame) {
    double seconds = static_cast<double>(frame - std::min(frame, output.anchorFrames)) /
                     (output.rate * output.speed);
    return output.anchorTime +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

void Run(Output& output) {
    std::unique_lock<std::mutex> hold(output.lock);
    for (;;) {
        output.wake.wait(hold, [&] { return output.closing || output.running; });
        if (output.closing) return;
        Clock::time_point now = Clock::now();
        uint64_t chunk = static_cast<uint64_t>(output.chunkFrames);
        double playedSeconds = std::chrono::duration<double>(now - output.anchorTime).count();
        double played = output.anchorFrames + playedSeconds * output.rate * output.speed;
        if (played > static_cast<double>(output.pulled)) {
            // We were late enough that the virtual device ran dry (a stalled callback, a
            // starved thread): like a real one, it plays on from here rather than racing to
            // catch up, so the heard clock never jumps.
            output.anchorFrames = output.pulled;
            output.anchorTime = now;
        }
        uint64_t nextPullAt = output.pulled > chunk ? output.pulled - chunk : 0;
        Clock::time_point due = TimeOfFrame(output, nextPullAt);
        if (now < due) {
            output.wake.wait_until(hold, due);
            continue;  // woken early, paused or closing: look again
        }
        hold.unlock();
        output.pull(output.user, output.scratch.data(), output.chunkFrames);
        hold.lock();
        output.pulled += chunk;
    }
}

}  // namespace

void OpenNullDevice(Output& output) {
    output.isNull = true;
    output.speed = SpeedFromEnvironment();
    double frames = std::round(output.rate * output.speed * kChunkSeconds);
    output.chunkFrames = static_cast<int>(
        std::clamp(frames, static_cast<double>(kMinChunkFrames), static_cast<double>(kMaxChunkFrames)));
    output.scratch.assign(static_cast<size_t>(output.chunkFrames) * 2, 0);
    output.anchorTime = Clock::now();
    output.thread = std::thread(Run, std::ref(output));
}

void StartNullDevice(Output& output) {
    std::lock_guard<std::mutex> hold(output.lock);
    if (output.running) return;
    output.anchorFrames = output.heardFloor;
    output.anchorTime = Clock::now();
    output.running = true;
    output.wake.notify_all();
}

void PauseNullDevice(Output& output) {
    std::lock_guard<std::mutex> hold(output.lock);
    HeardLocked(output);
    output.running = false;
    output.wake.notify_all();
}

void CloseNullDevice(Output& output) {
    {
        std::lock_guard<std::mutex> hold(output.lock);
        output.closing = true;
        output.wake.notify_all();
    }
    if (output.thread.joinable()) output.thread.join();
}

}  // namespace quarvel::audio_output
