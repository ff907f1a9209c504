#include "wav_file.h"

#include <stdio.h>

namespace {

void Put16(unsigned char* p, uint32_t v)
{
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
}

void Put32(unsigned char* p, uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

bool WriteSamples(FILE* f, const int16_t* pcm, uint64_t count)
{
    // Little-endian on disk whatever the host is.
    unsigned char buf[8192];
    while (count > 0) {
        uint64_t n = count < sizeof buf / 2 ? count : sizeof buf / 2;
        for (uint64_t i = 0; i < n; i++) Put16(buf + 2 * i, (uint16_t)pcm[i]);
        if (fwrite(buf, 2, n, f) != n) return false;
        pcm += n;
        count -= n;
    }
    return true;
}

}  // namespace

bool WriteWav(const char* path, const int16_t* pcm, uint32_t frames, int channels, int rate)
{
    const uint64_t data = (uint64_t)frames * channels * 2;
    if (channels < 1 || rate <= 0 || data + 36 > 0xffffffffu) return false;
    unsigned char h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                           'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0};
    Put32(h + 4, (uint32_t)(36 + data));
    Put16(h + 22, (uint32_t)channels);
    Put32(h + 24, (uint32_t)rate);
    Put32(h + 28, (uint32_t)(rate * channels * 2));
    Put16(h + 32, (uint32_t)(channels * 2));
    Put16(h + 34, 16);
    h[36] = 'd', h[37] = 'a', h[38] = 't', h[39] = 'a';
    Put32(h + 40, (uint32_t)data);

    FILE* f = fopen(path, "wb");
    if (f == nullptr) return false;
    bool ok = fwrite(h, 1, sizeof h, f) == sizeof h && WriteSamples(f, pcm, data / 2);
    ok = fclose(f) == 0 && ok;
    if (!ok) remove(path);
    return ok;
}
