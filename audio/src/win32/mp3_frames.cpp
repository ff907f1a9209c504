#include "mp3_frames.h"

#include <cstdio>
#include <cstring>

namespace quarvel::audio {
namespace {

// Kbit/s by bit-rate index, Layer III; 0 is free format, which we do not take.
constexpr int kBitratesMpeg1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr int kBitratesMpeg2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
constexpr int kRatesMpeg1[3] = {44100, 48000, 32000};

// How far into the bytes (after any ID3v2 tag) the first frame may start; past this, the
// file is not taken for MP3.
constexpr uint64_t kFirstFrameSearch = 256 * 1024;
constexpr size_t kReadChunk = 16 * 1024;
// LAME's extension after the Xing fields: a 9-byte version string, then 12 bytes of
// settings, then the 24 bits of delay and padding.
constexpr size_t kLameDelayOffset = 21;
constexpr size_t kLameTagBytes = 36;

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

bool Tag(const uint8_t* p, const char* name) { return std::memcmp(p, name, 4) == 0; }

}  // namespace

bool ParseMp3FrameHeader(const uint8_t* p, Mp3FrameHeader* header) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
    int versionBits = (p[1] >> 3) & 3;
    int layerBits = (p[1] >> 1) & 3;
    int bitrateIndex = p[2] >> 4;
    int rateIndex = (p[2] >> 2) & 3;
    if (versionBits == 1 || layerBits != 1 || rateIndex == 3) return false;
    Mp3FrameHeader h;
    h.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    h.bitrate = h.version == 1 ? kBitratesMpeg1[bitrateIndex] : kBitratesMpeg2[bitrateIndex];
    if (h.bitrate == 0) return false;
    h.rate = kRatesMpeg1[rateIndex] / (h.version == 1 ? 1 : h.version == 2 ? 2 : 4);
    h.channels = (p[3] >> 6) == 3 ? 1 : 2;
    h.crc = (p[1] & 1) == 0;
    h.samples = h.version == 1 ? 1152 : 576;
    int padding = (p[2] >> 1) & 1;
    h.bytes = (h.samples / 8) * h.bitrate * 1000 / h.rate + padding;
    *header = h;
    return true;
}

bool SameMp3Stream(const Mp3FrameHeader& a, const Mp3FrameHeader& b) {
    return a.version == b.version && a.rate == b.rate && a.channels == b.channels;
}

bool ParseMp3InfoFrame(const uint8_t* frame, size_t size, const Mp3FrameHeader& header,
                       Mp3StreamInfo* info) {
    size_t sideInfo = header.version == 1 ? (header.channels == 1 ? 17 : 32)
                                          : (header.channels == 1 ? 9 : 17);
    size_t at = 4 + (header.crc ? 2 : 0) + sideInfo;
    Mp3StreamInfo found;
    if (size >= at + 8 && (Tag(frame + at, "Xing") || Tag(frame + at, "Info"))) {
        uint32_t flags = BigEndian32(frame + at + 4);
        size_t p = at + 8;
        if ((flags & 1) != 0) {
            if (size < p + 4) return false;
            found.frameCount = BigEndian32(frame + p);
            p += 4;
        }
        if ((flags & 2) != 0) p += 4;    // byte count
        if ((flags & 4) != 0) p += 100;  // seek table
        if ((flags & 8) != 0) p += 4;    // quality
        if (size >= p + kLameTagBytes &&
            (Tag(frame + p, "LAME") || Tag(frame + p, "Lavf") || Tag(frame + p, "Lavc"))) {
            const uint8_t* d = frame + p + kLameDelayOffset;
            found.encoderDelay = (d[0] << 4) | (d[1] >> 4);
            found.padding = ((d[1] & 0x0F) << 8) | d[2];
            found.gapless = true;
        }
        *info = found;
        return true;
    }
    // Fraunhofer's tag sits after 32 bytes whatever the mode; its delay is not one that
    // decoders trim by.
    constexpr size_t kVbriAt = 4 + 32;
    if (size >= kVbriAt + 18 && Tag(frame + kVbriAt, "VBRI")) {
        found.frameCount = BigEndian32(frame + kVbriAt + 14);
        *info = found;
        return true;
    }
    return false;
}

Mp3SampleSpan GaplessSpan(const Mp3StreamInfo& info, int samplesPerFrame) {
    Mp3SampleSpan span;
    if (!info.gapless) return span;
    span.begin = static_cast<uint64_t>(info.encoderDelay) + kMp3DecoderDelay;
    if (info.frameCount > 0) {
        uint64_t total = info.frameCount * static_cast<uint64_t>(samplesPerFrame);
        uint64_t end = total + kMp3DecoderDelay;
        span.end = end > static_cast<uint64_t>(info.padding) ? end - static_cast<uint64_t>(info.padding) : 0;
        if (span.end < span.begin) span.end = span.begin;
    }
    return span;
}

bool Mp3FrameReader::Have(size_t count) {
    uint64_t bufferEnd = bufferStart_ + buffer_.size();
    if (position_ + count <= bufferEnd) return true;
    if (position_ >= bufferEnd) {
        // Jumped past what was read (a skipped tag): continue reading from there.
        if (position_ > bufferEnd && source_.Seek(static_cast<int64_t>(position_), SEEK_SET) < 0) {
            sourceEnded_ = true;
        }
        buffer_.clear();
        bufferStart_ = position_;
    } else if (position_ > bufferStart_) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(position_ - bufferStart_));
        bufferStart_ = position_;
    }
    while (!sourceEnded_ && buffer_.size() < count) {
        size_t old = buffer_.size();
        size_t want = count - old > kReadChunk ? count - old : kReadChunk;
        buffer_.resize(old + want);
        long got = source_.Read(buffer_.data() + old, want);
        buffer_.resize(old + (got > 0 ? static_cast<size_t>(got) : 0));
        if (got <= 0) sourceEnded_ = true;
    }
    return buffer_.size() >= count;
}

bool Mp3FrameReader::SkipId3v2() {
    if (!Have(10)) return false;
    const uint8_t* p = At();
    if (!(p[0] == 'I' && p[1] == 'D' && p[2] == '3') || p[3] == 0xFF || p[4] == 0xFF) return false;
    if (((p[6] | p[7] | p[8] | p[9]) & 0x80) != 0) return false;
    uint64_t size = (uint64_t{p[6]} << 21) | (uint64_t{p[7]} << 14) | (uint64_t{p[8]} << 7) | p[9];
    bool footer = (p[5] & 0x10) != 0;
    position_ += 10 + size + (footer ? 10 : 0);
    return true;
}

bool Mp3FrameReader::ConfirmedHeaderHere(Mp3FrameHeader* header) {
    if (!Have(4) || !ParseMp3FrameHeader(At(), header)) return false;
    auto bytes = static_cast<size_t>(header->bytes);
    if (Have(bytes + 4)) {
        Mp3FrameHeader next;
        const uint8_t* after = At() + bytes;
        if (ParseMp3FrameHeader(after, &next) && SameMp3Stream(*header, next)) return true;
        return after[0] == 'T' && after[1] == 'A' && after[2] == 'G';  // ID3v1 after the last frame
    }
    // The last frame: it must end where the bytes do.
    return Have(bytes) && !Have(bytes + 1);
}

bool Mp3FrameReader::Open() {
    buffer_.clear();
    bufferStart_ = position_ = 0;
    sourceEnded_ = source_.Seek(0, SEEK_SET) < 0;
    info_ = Mp3StreamInfo{};
    while (SkipId3v2()) {
    }
    uint64_t searchEnd = position_ + kFirstFrameSearch;
    Mp3FrameHeader header;
    while (!ConfirmedHeaderHere(&header)) {
        if (!Have(4) || position_ >= searchEnd) return false;
        ++position_;
    }
    first_ = header;
    Mp3StreamInfo info;
    if (Have(static_cast<size_t>(header.bytes)) &&
        ParseMp3InfoFrame(At(), static_cast<size_t>(header.bytes), header, &info)) {
        info_ = info;
        position_ += static_cast<uint64_t>(header.bytes);
    }
    audioStart_ = position_;
    return true;
}

bool Mp3FrameReader::Next(std::vector<uint8_t>* frame, Mp3FrameHeader* header) {
    bool inStep = true;  // right after a whole frame, a header needs no confirmation
    for (;;) {
        if (!Have(4)) return false;
        Mp3FrameHeader found;
        bool usable = inStep ? ParseMp3FrameHeader(At(), &found) : ConfirmedHeaderHere(&found);
        if (usable && SameMp3Stream(found, first_)) {
            auto bytes = static_cast<size_t>(found.bytes);
            if (!Have(bytes)) return false;  // cut short at the end: not decodable
            frame->assign(At(), At() + bytes);
            position_ += bytes;
            if (header != nullptr) *header = found;
            return true;
        }
        // Not a frame of this stream here: look for the next one, byte by byte.
        inStep = false;
        ++position_;
    }
}

bool Mp3FrameReader::Rewind() {
    buffer_.clear();
    bufferStart_ = position_ = audioStart_;
    sourceEnded_ = source_.Seek(static_cast<int64_t>(audioStart_), SEEK_SET) < 0;
    return !sourceEnded_;
}

}  // namespace quarvel::audio
