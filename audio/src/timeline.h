// Which source position each output frame carries: every render appends a span (output
// frames from `outStart`, source position from `sourceStart`, advancing by `step` per
// output frame), so the output's heard-frames clock can be turned back into a position in
// the stream even across stalls, stops and restarts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarvel::audio {

class Timeline {
public:
    struct Span {
        uint64_t outStart = 0;
        uint64_t outCount = 0;
        double sourceStart = 0.0;
        double step = 1.0;
    };

    explicit Timeline(size_t capacity = 1024);

    // Forgets every span; until the next one is heard, the position is `position`.
    void Reset(double position);
    void Add(const Span& span);
    // The source position being heard at output frame `heard`.
    double SourceAt(uint64_t heard) const;

private:
    std::vector<Span> spans_;
    size_t next_ = 0;
    size_t count_ = 0;
    double base_ = 0.0;
};

}  // namespace quarvel::audio
