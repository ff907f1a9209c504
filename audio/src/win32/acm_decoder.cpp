// MP3 decoding on Windows with the system's ACM MPEG Layer-3 codec (msacm32). The codec
// takes whole frames, which Mp3FrameReader cuts out of the file, and gives 16-bit PCM at the
// file's rate and channel count. What it decodes is trimmed by the encoder's delay and
// padding as the LAME tag gives them, like the gapless decoding of the Linux build, so both
// builds hear the same samples at the same positions.
#include "decoder.h"

#include "mp3_frames.h"

#include <bass.h>

#include <windows.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace quarvel::audio {
namespace {

// Frames handed to the codec per conversion, and the largest Layer III frame (320 kbit/s at
// 32 kHz, or 160 kbit/s at 8 kHz, padded).
constexpr int kFramesPerConversion = 8;
constexpr size_t kMaxFrameBytes = 1441;
constexpr size_t kInputBytes = kFramesPerConversion * kMaxFrameBytes;
// MPEGLAYER3WAVEFORMAT's codec delay as encoders commonly write it; decoders do not use it.
constexpr WORD kCodecDelay = 1393;

class AcmMp3Decoder : public Decoder {
public:
    explicit AcmMp3Decoder(std::unique_ptr<ByteSource> source)
        : source_(std::move(source)), reader_(*source_) {}

    ~AcmMp3Decoder() override { CloseCodec(); }

    // False with `*error` set when the file is not Layer III or the codec will not take it.
    bool Open(int* error) {
        if (!reader_.Open()) {
            *error = BASS_ERROR_FILEFORM;
            return false;
        }
        const Mp3FrameHeader& first = reader_.First();
        format_ = PcmFormat{first.rate, first.channels};
        span_ = GaplessSpan(reader_.Info(), first.samples);
        if (!OpenCodec()) {
            *error = BASS_ERROR_FORMAT;
            return false;
        }
        // Decode the first frames now, so a codec that opens but cannot convert is found here
        // rather than as an empty stream.
        if (!Refill() && faulted_) {
            *error = BASS_ERROR_FORMAT;
            return false;
        }
        return true;
    }

    PcmFormat Format() const override { return format_; }

    int Read(int16_t* frames, int maxFrames) override {
        if (frames == nullptr || maxFrames <= 0) return 0;
        auto channels = static_cast<size_t>(format_.channels);
        while (pcmRead_ * channels >= pcm_.size()) {
            pcm_.clear();
            pcmRead_ = 0;
            if (!Refill()) return faulted_ ? -1 : 0;
        }
        size_t available = pcm_.size() / channels - pcmRead_;
        size_t count = std::min(available, static_cast<size_t>(maxFrames));
        std::memcpy(frames, pcm_.data() + pcmRead_ * channels, count * channels * sizeof(int16_t));
        pcmRead_ += count;
        return static_cast<int>(count);
    }

    bool Rewind() override {
        // The codec keeps state across frames (the bit reservoir, the filter bank): a fresh
        // one is the simple way to a clean start.
        CloseCodec();
        pcm_.clear();
        pcmRead_ = 0;
        pending_ = 0;
        decoded_ = 0;
        started_ = false;
        inputEnded_ = false;
        flushed_ = false;
        faulted_ = false;
        return reader_.Rewind() && OpenCodec();
    }

private:
    bool OpenCodec() {
        const Mp3FrameHeader& first = reader_.First();
        MPEGLAYER3WAVEFORMAT mp3{};
        mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
        mp3.wfx.nChannels = static_cast<WORD>(first.channels);
        mp3.wfx.nSamplesPerSec = static_cast<DWORD>(first.rate);
        mp3.wfx.nAvgBytesPerSec = static_cast<DWORD>(first.bitrate * 1000 / 8);
        mp3.wfx.nBlockAlign = 1;
        mp3.wfx.wBitsPerSample = 0;
        mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
        mp3.wID = MPEGLAYER3_ID_MPEG;
        mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
        mp3.nBlockSize = static_cast<WORD>(first.samples / 8 * first.bitrate * 1000 / first.rate);
        mp3.nFramesPerBlock = 1;
        mp3.nCodecDelay = kCodecDelay;

        WAVEFORMATEX pcm{};
        pcm.wFormatTag = WAVE_FORMAT_PCM;
        pcm.nChannels = static_cast<WORD>(first.channels);
        pcm.nSamplesPerSec = static_cast<DWORD>(first.rate);
        pcm.wBitsPerSample = 16;
        pcm.nBlockAlign = static_cast<WORD>(2 * first.channels);
        pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;

        auto* source = reinterpret_cast<WAVEFORMATEX*>(&mp3);
        // Not real time: we decode ahead on our own thread. A codec that refuses the flag is
        // asked again without it.
        if (acmStreamOpen(&codec_, nullptr, source, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0 &&
            acmStreamOpen(&codec_, nullptr, source, &pcm, nullptr, 0, 0, 0) != 0) {
            codec_ = nullptr;
            return false;
        }
        DWORD outputBytes = 0;
        if (acmStreamSize(codec_, static_cast<DWORD>(kInputBytes), &outputBytes, ACM_STREAMSIZEF_SOURCE) != 0 ||
            outputBytes == 0) {
            // Room for every sample of the largest conversion, twice over.
            outputBytes = static_cast<DWORD>(2 * kFramesPerConversion * 1152 * pcm.nBlockAlign);
        }
        input_.assign(kInputBytes, 0);
        output_.assign(outputBytes, 0);
        header_ = ACMSTREAMHEADER{};
        header_.cbStruct = sizeof(ACMSTREAMHEADER);
        header_.pbSrc = input_.data();
        header_.cbSrcLength = static_cast<DWORD>(input_.size());
        header_.pbDst = output_.data();
        header_.cbDstLength = static_cast<DWORD>(output_.size());
        if (acmStreamPrepareHeader(codec_, &header_, 0) != 0) {
            acmStreamClose(codec_, 0);
            codec_ = nullptr;
            return false;
        }
        return true;
    }

    void CloseCodec() {
        if (codec_ == nullptr) return;
        // Unpreparing wants the lengths the header was prepared with.
        header_.cbSrcLength = static_cast<DWORD>(input_.size());
        header_.cbDstLength = static_cast<DWORD>(output_.size());
        acmStreamUnprepareHeader(codec_, &header_, 0);
        acmStreamClose(codec_, 0);
        codec_ = nullptr;
    }

    // Appends whole frames to the unconverted input while they fit; inputEnded_ once the
    // reader has none left.
    void TopUpInput() {
        while (!inputEnded_ && pending_ + kMaxFrameBytes <= input_.size()) {
            if (!reader_.Next(&frame_)) {
                inputEnded_ = true;
                break;
            }
            std::memcpy(input_.data() + pending_, frame_.data(), frame_.size());
            pending_ += frame_.size();
        }
    }

    // Converts until some samples of the signal are in pcm_; false at the end, or on a codec
    // fault (faulted_ set).
    bool Refill() {
        if (codec_ == nullptr) return false;
        while (!flushed_ && decoded_ < span_.end) {
            TopUpInput();
            // With no input left, one more conversion gives back what the codec still holds.
            bool last = inputEnded_ && pending_ == 0;
            DWORD flags = last ? ACM_STREAMCONVERTF_END : ACM_STREAMCONVERTF_BLOCKALIGN;
            if (!started_) flags |= ACM_STREAMCONVERTF_START;
            header_.cbSrcLength = static_cast<DWORD>(pending_);
            header_.cbDstLength = static_cast<DWORD>(output_.size());
            header_.cbSrcLengthUsed = 0;
            header_.cbDstLengthUsed = 0;
            if (acmStreamConvert(codec_, &header_, flags) != 0) {
                if (last) {
                    // A codec that has nothing to flush may say so as an error.
                    flushed_ = true;
                    return false;
                }
                faulted_ = true;
                return false;
            }
            started_ = true;
            if (last) flushed_ = true;
            size_t used = std::min<size_t>(header_.cbSrcLengthUsed, pending_);
            std::memmove(input_.data(), input_.data() + used, pending_ - used);
            pending_ -= used;
            if (used == 0 && header_.cbDstLengthUsed == 0) {
                // Bytes the codec will not take even with a full input: damage it cannot
                // decode past. Drop them and go on with the frames after them.
                pending_ = 0;
            }
            if (Keep(output_.data(), header_.cbDstLengthUsed)) return true;
        }
        return false;
    }

    // Moves the converted bytes' samples that lie inside the signal's span into pcm_; whether
    // any did.
    bool Keep(const uint8_t* bytes, DWORD size) {
        auto channels = static_cast<size_t>(format_.channels);
        uint64_t count = size / (channels * sizeof(int16_t));
        uint64_t from = std::max(decoded_, span_.begin);
        uint64_t to = std::min(decoded_ + count, span_.end);
        size_t before = pcm_.size();
        if (from < to) {
            const auto* samples = reinterpret_cast<const int16_t*>(bytes) + (from - decoded_) * channels;
            pcm_.insert(pcm_.end(), samples, samples + (to - from) * channels);
        }
        decoded_ += count;
        return pcm_.size() > before;
    }

    std::unique_ptr<ByteSource> source_;
    Mp3FrameReader reader_;
    PcmFormat format_;
    Mp3SampleSpan span_;

    HACMSTREAM codec_ = nullptr;
    ACMSTREAMHEADER header_{};
    std::vector<uint8_t> input_;
    size_t pending_ = 0;  // unconverted bytes at the start of input_
    std::vector<uint8_t> output_;
    std::vector<uint8_t> frame_;
    bool started_ = false;
    bool inputEnded_ = false;
    bool flushed_ = false;
    bool faulted_ = false;

    uint64_t decoded_ = 0;  // samples per channel the codec has given since the start
    std::vector<int16_t> pcm_;
    size_t pcmRead_ = 0;    // frames of pcm_ already read
};

}  // namespace

std::unique_ptr<Decoder> OpenMp3Decoder(std::unique_ptr<ByteSource> source, int* error) {
    int ignored = 0;
    if (error == nullptr) error = &ignored;
    if (source == nullptr) {
        *error = BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    auto decoder = std::make_unique<AcmMp3Decoder>(std::move(source));
    if (!decoder->Open(error)) return nullptr;
    *error = BASS_OK;
    return decoder;
}

}  // namespace quarvel::audio
