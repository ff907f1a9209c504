// The one translation unit that holds stb_image's code. Decoding is from memory only, so
// its stdio half stays out; and the system's pictures are all PNG, so the other decoders
// stay out too: stb's TGA reader, for one, takes a few stray bytes for a picture of millions
// of pixels and spends seconds reading it past the end of the data.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif

#include <string.h>

// stb copies an empty IDAT chunk into the image-data buffer before it has allocated one,
// and memcpy with a null pointer is undefined even for no bytes; its copies come here.
static inline void* CopyBytes(void* to, const void* from, size_t count) {
    return count ? memcpy(to, from, count) : to;
}
#define memcpy CopyBytes

#include <stb_image.h>
