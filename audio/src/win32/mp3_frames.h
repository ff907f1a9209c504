// MPEG audio Layer III frames read one by one from a ByteSource, for a decoder that takes
// whole frames (the ACM codec) rather than a byte stream: tags before the audio (ID3v2) and
// the encoder's information frame are stepped over, bytes between frames are skipped, and
// what that information frame says about encoder delay and padding is kept so the decoded
// samples can be trimmed to exactly those that were encoded.
//
// Nothing here is Windows-specific; it builds on Linux too, for the tests.
#pragma once

#include "byte_source.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarvel::audio {

struct Mp3FrameHeader {
    int version = 0;   // 1: MPEG-1, 2: MPEG-2, 25: MPEG-2.5
    int bitrate = 0;   // kbit/s
    int rate = 0;      // Hz
    int channels = 0;  // 1 or 2
    int bytes = 0;     // the whole frame, header included
    int samples = 0;   // per channel: 1152 for MPEG-1, 576 otherwise
    bool crc = false;  // a 16-bit check follows the header
};

// The four bytes at `p` as a Layer III frame header; false for anything else, free-format
// bit rates and reserved values included.
bool ParseMp3FrameHeader(const uint8_t* p, Mp3FrameHeader* header);

// Whether frames `a` and `b` belong to one stream: same version, rate and channel count.
bool SameMp3Stream(const Mp3FrameHeader& a, const Mp3FrameHeader& b);

// What the encoder's information frame ("Xing" or "Info", with LAME's extension) says.
struct Mp3StreamInfo {
    bool gapless = false;    // delay and padding are known
    int encoderDelay = 0;    // samples the encoder put before the first real one
    int padding = 0;         // samples it added after the last one
    uint64_t frameCount = 0; // audio frames after the information frame; 0 if not given
};

// `frame`: one whole frame. True when it is an information frame rather than audio (a
// "Xing", "Info" or "VBRI" frame), with `info` filled from what it carries.
bool ParseMp3InfoFrame(const uint8_t* frame, size_t size, const Mp3FrameHeader& header,
                       Mp3StreamInfo* info);

// The decoder's own delay (the synthesis filter bank's), which every Layer III decoder adds in
// front of the encoder's; what the encoder's delay and padding are counted against.
constexpr int kMp3DecoderDelay = 529;

class Mp3FrameReader {
public:
    explicit Mp3FrameReader(ByteSource& source) : source_(source) {}

    // Finds the first audio frame; false when the bytes hold no Layer III stream.
    bool Open();
    // The first audio frame's header, which sets the stream's format.
    const Mp3FrameHeader& First() const { return first_; }
    const Mp3StreamInfo& Info() const { return info_; }
    // The next audio frame of the stream, header included; false at the end. Frames of
    // another format (a different rate or channel count) are skipped over.
    bool Next(std::vector<uint8_t>* frame, Mp3FrameHeader* header = nullptr);
    // Back to the first audio frame.
    bool Rewind();

private:
    // Makes `count` bytes from `position_` available in the buffer; false at the end.
    bool Have(size_t count);
    const uint8_t* At() const { return buffer_.data() + (position_ - bufferStart_); }
    // A header at the current position that the next one confirms (or that ends the file).
    bool ConfirmedHeaderHere(Mp3FrameHeader* header);
    bool SkipId3v2();

    ByteSource& source_;
    std::vector<uint8_t> buffer_;
    uint64_t bufferStart_ = 0;  // source offset of buffer_[0]
    uint64_t position_ = 0;     // source offset of the next byte to look at
    bool sourceEnded_ = false;
    uint64_t audioStart_ = 0;
    Mp3FrameHeader first_;
    Mp3StreamInfo info_;
};

// The span of decoded samples (per channel, counted from the decoder's first output) that
// are the encoded signal: `begin` to `end`, `end` being UINT64_MAX when the length is not known.
struct Mp3SampleSpan {
    uint64_t begin = 0;
    uint64_t end = UINT64_MAX;
};
Mp3SampleSpan GaplessSpan(const Mp3StreamInfo& info, int samplesPerFrame);

}  // namespace quarvel::audio
