// A compressed stream decoded to interleaved 16-bit PCM at its own rate and channel count.
// Each back end (mpg123 here, ACM on Windows) implements this; the stream never sees which.
#pragma once

#include "byte_source.h"

#include <cstdint>
#include <memory>

namespace quarvel::audio {

struct PcmFormat {
    int rate = 0;
    int channels = 0;  // 1 or 2
};

class Decoder {
public:
    virtual ~Decoder() = default;
    virtual PcmFormat Format() const = 0;
    // Up to `maxFrames` frames; 0 at the end, -1 on a fault that ends the stream.
    virtual int Read(int16_t* frames, int maxFrames) = 0;
    // Back to the first frame; false if the source cannot go back.
    virtual bool Rewind() = 0;
};

// An MP3 decoder over `source`; null with `*error` set to a BASS_ERROR_ code when the
// bytes are not MPEG audio we can play.
std::unique_ptr<Decoder> OpenMp3Decoder(std::unique_ptr<ByteSource> source, int* error);

}  // namespace quarvel::audio
