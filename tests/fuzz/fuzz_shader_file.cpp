// ReadShaderFile on arbitrary file contents: a length word, then what should be a zlib
// stream. Whatever the file holds, a success must hand over a text whose every byte came
// out of the stream: its first `length` bytes as zlib inflates them, no more than the word
// allows, cut short only by the end of the stream.
#include <windows.h>
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "gfx/shader_file.h"
#include "scratch.h"

namespace {

// Inflates the stream after the word, a piece at a time, comparing it with `text`. Returns
// how many bytes the stream yields before its end or before `limit`, or -1 on a mismatch.
long long CompareWithStream(const uint8_t* packed, size_t packedSize, const char* text, UINT length, UINT limit,
                            bool* ended) {
    z_stream z = {};
    if (inflateInit(&z) != Z_OK) abort();
    z.next_in = const_cast<Bytef*>(packed);
    z.avail_in = static_cast<uInt>(packedSize);
    unsigned char piece[16384];
    uint64_t produced = 0;
    int result = Z_OK;
    *ended = false;
    while (produced < limit) {
        const uint64_t want = limit - produced;
        z.next_out = piece;
        z.avail_out = static_cast<uInt>(want < sizeof piece ? want : sizeof piece);
        const uInt room = z.avail_out;
        result = inflate(&z, Z_NO_FLUSH);
        const uInt got = room - z.avail_out;
        for (uInt i = 0; i < got; ++i) {
            if (produced + i < length && static_cast<unsigned char>(text[produced + i]) != piece[i]) {
                inflateEnd(&z);
                return -1;
            }
        }
        produced += got;
        if (result == Z_STREAM_END) {
            *ended = true;
            break;
        }
        if (result != Z_OK || got == 0) break;
    }
    inflateEnd(&z);
    return static_cast<long long>(produced);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const quarvel::test::ScratchFolder scratch;
    static const std::string path = scratch / "fuzz.shader";
    if (!quarvel::test::WriteWholeFile(path, data, size)) abort();
    char* text = reinterpret_cast<char*>(1);
    UINT length = 12345;
    const HRESULT result = ReadShaderFile(path.c_str(), &text, &length);
    if (FAILED(result)) {
        if (text != nullptr) abort();
        return 0;
    }
    if (text == nullptr || size < 4) abort();
    const UINT declared = UINT(data[0]) | UINT(data[1]) << 8 | UINT(data[2]) << 16 | UINT(data[3]) << 24;
    if (length > declared) abort();
    if (declared != 0) {
        bool ended = false;
        const long long produced = CompareWithStream(data + 4, size - 4, text, length, declared, &ended);
        // The text is the stream's own length when it ends within the word, else the word.
        if (produced < 0 || produced != length || (!ended && length != declared)) abort();
    }
    free(text);
    return 0;
}
