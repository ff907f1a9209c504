#include "mp3_writer.h"

#include <lame.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace quarvel::music {
namespace {

constexpr int kChunkFrames = 8192;

struct LameHandle {
    lame_t flags = lame_init();
    ~LameHandle() {
        if (flags != nullptr) lame_close(flags);
    }
};

struct FileHandle {
    FILE* file = nullptr;
    ~FileHandle() {
        if (file != nullptr) std::fclose(file);
    }
};

bool Encode(const std::string& path, const int16_t* pcm, size_t frames, int channels, int rate,
            int kbps, bool& created) {
    if (pcm == nullptr && frames > 0) return false;
    if (channels != 1 && channels != 2) return false;
    LameHandle lame;
    if (lame.flags == nullptr) return false;
    lame_set_num_channels(lame.flags, channels);
    lame_set_in_samplerate(lame.flags, rate);
    lame_set_out_samplerate(lame.flags, rate);
    lame_set_mode(lame.flags, channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(lame.flags, kbps);
    lame_set_quality(lame.flags, 2);
    lame_set_bWriteVbrTag(lame.flags, 1);
    lame_set_write_id3tag_automatic(lame.flags, 0);
    if (lame_init_params(lame.flags) < 0) return false;

    FileHandle out;
    out.file = std::fopen(path.c_str(), "wb");
    if (out.file == nullptr) return false;
    created = true;
    std::vector<unsigned char> encoded(kChunkFrames * 5 / 4 + 7200);
    std::vector<short> left(kChunkFrames);
    std::vector<short> right(kChunkFrames);
    for (size_t done = 0; done < frames;) {
        int count = static_cast<int>(std::min<size_t>(kChunkFrames, frames - done));
        for (int i = 0; i < count; ++i) {
            left[i] = pcm[(done + i) * channels];
            right[i] = pcm[(done + i) * channels + channels - 1];
        }
        int bytes = lame_encode_buffer(lame.flags, left.data(), right.data(), count, encoded.data(),
                                       static_cast<int>(encoded.size()));
        if (bytes < 0 || std::fwrite(encoded.data(), 1, bytes, out.file) != static_cast<size_t>(bytes)) {
            return false;
        }
        done += static_cast<size_t>(count);
    }
    int bytes = lame_encode_flush(lame.flags, encoded.data(), static_cast<int>(encoded.size()));
    if (bytes < 0 || std::fwrite(encoded.data(), 1, bytes, out.file) != static_cast<size_t>(bytes)) {
        return false;
    }
    // The encoder left room for its tag (delay, padding, length) in the first frame.
    size_t tagBytes = lame_get_lametag_frame(lame.flags, encoded.data(), encoded.size());
    if (tagBytes > 0 && tagBytes <= encoded.size()) {
        if (std::fseek(out.file, 0, SEEK_SET) != 0 ||
            std::fwrite(encoded.data(), 1, tagBytes, out.file) != tagBytes) {
            return false;
        }
    }
    FILE* file = out.file;
    out.file = nullptr;
    return std::fclose(file) == 0;
}

}  // namespace

bool WriteMp3(const std::string& path, const int16_t* pcm, size_t frames, int channels, int rate,
              int kbps) {
    bool created = false;
    if (Encode(path, pcm, frames, channels, rate, kbps, created)) return true;
    if (created) std::remove(path.c_str());
    return false;
}

}  // namespace quarvel::music
