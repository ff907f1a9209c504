#include "frame_writer.h"

namespace quarvel::record {

FrameWriter::FrameWriter(std::function<void(const std::string&)> fail)
    : fail_(std::move(fail)), thread_([this] { Run(); }) {}

FrameWriter::~FrameWriter() {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void FrameWriter::Submit(FrameSink* sink, const Frame& frame, const uint8_t* rgba) {
    const size_t bytes = size_t(frame.width) * frame.height * 4;
    std::unique_lock<std::mutex> hold(mutex_);
    changed_.wait(hold, [this] { return queue_.size() < kDepth; });
    Job job{sink, frame, {}};
    if (!spare_.empty()) {
        job.rgba = std::move(spare_.back());
        spare_.pop_back();
    }
    job.rgba.assign(rgba, rgba + bytes);
    queue_.push_back(std::move(job));
    hold.unlock();
    changed_.notify_all();
}

void FrameWriter::Drain() {
    std::unique_lock<std::mutex> hold(mutex_);
    changed_.wait(hold, [this] { return queue_.empty() && !busy_; });
}

void FrameWriter::Run() {
    std::unique_lock<std::mutex> hold(mutex_);
    for (;;) {
        changed_.wait(hold, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) return;
        Job job = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        hold.unlock();
        changed_.notify_all();

        // What the window shows: colour only (the letterbox bars are cleared to alpha 0).
        const size_t pixels = size_t(job.frame.width) * job.frame.height;
        rgb_.resize(pixels * 3);
        for (size_t i = 0; i < pixels; ++i) {
            rgb_[i * 3 + 0] = job.rgba[i * 4 + 0];
            rgb_[i * 3 + 1] = job.rgba[i * 4 + 1];
            rgb_[i * 3 + 2] = job.rgba[i * 4 + 2];
        }
        job.frame.rgb = rgb_.data();
        std::string error;
        if (job.sink && !job.sink->Write(job.frame, error)) fail_(error);

        hold.lock();
        spare_.push_back(std::move(job.rgba));
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace quarvel::record
