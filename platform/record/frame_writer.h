// Hands presented frames to their sink on a thread of its own, so that converting,
// compressing and piping one frame overlaps drawing the next. Frames are written in the
// order they were handed over; at most kDepth wait, after which Submit waits for room.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "frame_sink.h"

namespace quarvel::record {

class FrameWriter {
public:
    static constexpr size_t kDepth = 2;

    // `fail` is called on the writer's thread with the sink's error when a write fails.
    explicit FrameWriter(std::function<void(const std::string&)> fail);
    ~FrameWriter();
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // Copies `rgba` (frame.width x frame.height x 4, rows top first) and queues the frame for
    // `sink`; frame.rgb is ignored. The frame is written as colour only.
    void Submit(FrameSink* sink, const Frame& frame, const uint8_t* rgba);
    // Returns once every frame handed over has been written (or failed).
    void Drain();

private:
    struct Job {
        FrameSink* sink;
        Frame frame;
        std::vector<uint8_t> rgba;
    };
    void Run();

    std::function<void(const std::string&)> fail_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    std::vector<std::vector<uint8_t>> spare_;  // pixel buffers to use again
    bool busy_ = false;                        // the thread is writing a frame
    bool stopping_ = false;
    std::vector<uint8_t> rgb_;
    std::thread thread_;
};

}  // namespace quarvel::record
