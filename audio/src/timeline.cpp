#include "timeline.h"

#include <algorithm>

namespace quarvel::audio {

Timeline::Timeline(size_t capacity) : spans_(std::max<size_t>(capacity, 1)) {}

void Timeline::Reset(double position) {
    next_ = 0;
    count_ = 0;
    base_ = position;
}

void Timeline::Add(const Span& span) {
    spans_[next_] = span;
    next_ = (next_ + 1) % spans_.size();
    count_ = std::min(count_ + 1, spans_.size());
}

double Timeline::SourceAt(uint64_t heard) const {
    size_t size = spans_.size();
    for (size_t i = 0; i < count_; ++i) {
        const Span& span = spans_[(next_ + size - 1 - i) % size];
        if (span.outStart <= heard) {
            uint64_t into = std::min(heard - span.outStart, span.outCount);
            return span.sourceStart + span.step * static_cast<double>(into);
        }
    }
    // Nothing rendered since the reset has been heard yet; if spans were dropped, the oldest
    // kept is the best we know.
    if (count_ == size) return spans_[next_].sourceStart;
    return base_;
}

}  // namespace quarvel::audio
