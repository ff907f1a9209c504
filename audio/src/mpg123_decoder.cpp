// MP3 decoding with libmpg123, reading through a ByteSource. Gapless decoding is on, so a
// file made by LAME decodes to exactly the samples that were encoded.
#include "decoder.h"

#include <bass.h>
#include <mpg123.h>

#include <mutex>

namespace quarvel::audio {
namespace {

bool LibraryReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = mpg123_init() == MPG123_OK; });
    return ready;
}

mpg123_ssize_t ReadCallback(void* handle, void* buffer, size_t size) {
    return static_cast<ByteSource*>(handle)->Read(buffer, size);
}

off_t SeekCallback(void* handle, off_t offset, int whence) {
    return static_cast<off_t>(static_cast<ByteSource*>(handle)->Seek(offset, whence));
}

class Mpg123Decoder : public Decoder {
public:
    Mpg123Decoder(mpg123_handle* handle, std::unique_ptr<ByteSource> source, PcmFormat format)
        : handle_(handle), source_(std::move(source)), format_(format) {}

    ~Mpg123Decoder() override {
        mpg123_close(handle_);
        mpg123_delete(handle_);
    }

    PcmFormat Format() const override { return format_; }

    int Read(int16_t* frames, int maxFrames) override {
        if (frames == nullptr || maxFrames <= 0) return 0;
        size_t frameBytes = sizeof(int16_t) * static_cast<size_t>(format_.channels);
        auto* out = reinterpret_cast<unsigned char*>(frames);
        size_t want = frameBytes * static_cast<size_t>(maxFrames);
        // A format notice can come with no samples; keep reading until we have some or the
        // stream says it is over.
        for (int attempt = 0; attempt < 8; ++attempt) {
            size_t done = 0;
            int result = mpg123_read(handle_, out, want, &done);
            if (done > 0) return static_cast<int>(done / frameBytes);
            if (result == MPG123_DONE) return 0;
            if (result != MPG123_NEW_FORMAT && result != MPG123_OK) return -1;
        }
        return -1;
    }

    bool Rewind() override { return mpg123_seek(handle_, 0, SEEK_SET) >= 0; }

private:
    mpg123_handle* handle_;
    std::unique_ptr<ByteSource> source_;
    PcmFormat format_;
};

}  // namespace

std::unique_ptr<Decoder> OpenMp3Decoder(std::unique_ptr<ByteSource> source, int* error) {
    int ignored = 0;
    if (error == nullptr) error = &ignored;
    *error = BASS_ERROR_FILEFORM;
    if (source == nullptr) {
        *error = BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    if (!LibraryReady()) {
        *error = BASS_ERROR_UNKNOWN;
        return nullptr;
    }
    int result = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &result);
    if (handle == nullptr) {
        *error = BASS_ERROR_MEM;
        return nullptr;
    }
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    bool opened =
        mpg123_replace_reader_handle(handle, ReadCallback, SeekCallback, nullptr) == MPG123_OK &&
        mpg123_open_handle(handle, source.get()) == MPG123_OK;
    if (opened) {
        // 16-bit output at whatever rate and channel count the file has.
        mpg123_format_none(handle);
        const long* rates = nullptr;
        size_t rateCount = 0;
        mpg123_rates(&rates, &rateCount);
        for (size_t i = 0; i < rateCount; ++i) {
            mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
        }
        opened = mpg123_getformat(handle, &rate, &channels, &encoding) == MPG123_OK &&
                 rate > 0 && (channels == 1 || channels == 2) && encoding == MPG123_ENC_SIGNED_16;
    }
    if (!opened) {
        mpg123_close(handle);
        mpg123_delete(handle);
        return nullptr;
    }
    // Pin the format: later frames that differ are converted rather than announced.
    mpg123_format_none(handle);
    mpg123_format(handle, rate, channels == 1 ? MPG123_MONO : MPG123_STEREO, MPG123_ENC_SIGNED_16);
    *error = BASS_OK;
    PcmFormat format{static_cast<int>(rate), channels};
    return std::make_unique<Mpg123Decoder>(handle, std::move(source), format);
}

}  // namespace quarvel::audio
