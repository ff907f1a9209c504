#include "mp3_reader.h"

#include <mpg123.h>

namespace quarvel::music {

std::vector<int16_t> ReadMp3(const std::string& path, long* rate, int* channels) {
    std::vector<int16_t> samples;
    static const bool ready = mpg123_init() == MPG123_OK;
    mpg123_handle* handle = ready ? mpg123_new(nullptr, nullptr) : nullptr;
    if (!handle) return samples;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    long fileRate = 0;
    int fileChannels = 0, encoding = 0;
    if (mpg123_open(handle, path.c_str()) == MPG123_OK &&
        mpg123_getformat(handle, &fileRate, &fileChannels, &encoding) == MPG123_OK) {
        unsigned char buffer[16384];
        int result;
        do {
            size_t done = 0;
            result = mpg123_read(handle, buffer, sizeof buffer, &done);
            const auto* begin = reinterpret_cast<const int16_t*>(buffer);
            samples.insert(samples.end(), begin, begin + done / sizeof(int16_t));
        } while (result == MPG123_OK || result == MPG123_NEW_FORMAT);
        mpg123_close(handle);
    }
    mpg123_delete(handle);
    if (rate) *rate = fileRate;
    if (channels) *channels = fileChannels;
    return samples;
}

}  // namespace quarvel::music
