// The library's set-up calls: the output, streams from files or memory, the error code.
#include "byte_source.h"
#include "engine.h"
#include "error_code.h"
#include "record_hooks.h"
#include "render.h"

#include <bass.h>

namespace quarvel::audio {
namespace {

constexpr DWORD kDefaultRate = 44100;
constexpr DWORD kMinRate = 1000;
constexpr DWORD kMaxRate = 384000;
// Handles start well away from 0 and from small integers, so that a stray value is not
// taken for a stream.
constexpr DWORD kFirstHandle = 0x51a70001;

BOOL Fail(int code) {
    SetError(code);
    return FALSE;
}

DWORD NextHandleLocked(Engine& engine) {
    do {
        if (engine.nextHandle < kFirstHandle) engine.nextHandle = kFirstHandle;
        ++engine.nextHandle;
    } while (engine.streams.count(engine.nextHandle) != 0);
    return engine.nextHandle;
}

}  // namespace
}  // namespace quarvel::audio

using namespace quarvel::audio;

// device: -1 (default) and 1 (the first, only, device) play to the sound device when there is
// one; 0 is "no sound", the null output. flags, win and dsguid are not used.
BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND win, const void* dsguid) {
    (void)flags;
    (void)win;
    (void)dsguid;
    if (device < -1 || device > 1) return Fail(BASS_ERROR_DEVICE);
    if (freq == 0) freq = kDefaultRate;
    if (freq < kMinRate || freq > kMaxRate) return Fail(BASS_ERROR_ILLPARAM);
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> life(engine.lifecycle);
    {
        std::lock_guard<std::mutex> hold(engine.lock);
        if (engine.output) return Fail(BASS_ERROR_ALREADY);
        engine.rate = static_cast<int>(freq);
        engine.rendered = 0;
    }
    // Started without `lock` held: the output thread takes it as soon as it renders.
    std::unique_ptr<OutputDevice> output =
        StartOutputDevice(device == 0, static_cast<int>(freq), RenderMix, &engine);
    std::lock_guard<std::mutex> hold(engine.lock);
    if (!output) {
        engine.rate = 0;
        return Fail(BASS_ERROR_DRIVER);
    }
    engine.output = std::move(output);
    SetError(BASS_OK);
    return TRUE;
}

BOOL BASS_Free(void) {
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> life(engine.lifecycle);
    {
        std::lock_guard<std::mutex> hold(engine.lock);
        if (!engine.output) return Fail(BASS_ERROR_INIT);
    }
    ShutDownLocked(engine);
    SetError(BASS_OK);
    return TRUE;
}

// MP3 only. mem TRUE: `file` points at `length` bytes (from `offset`) that must stay valid
// while the stream exists; they are read in place, not copied. mem FALSE: `file` is a path,
// and offset/length select part of the file (length 0: to its end). No flags are supported.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags) {
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> life(engine.lifecycle);
    {
        std::lock_guard<std::mutex> hold(engine.lock);
        if (!engine.output) return Fail(BASS_ERROR_INIT);
    }
    if (flags != 0) return Fail(BASS_ERROR_NOTAVAIL);
    if (file == nullptr) return Fail(BASS_ERROR_ILLPARAM);
    std::unique_ptr<ByteSource> source;
    if (mem) {
        if (length == 0) return Fail(BASS_ERROR_ILLPARAM);
        source = OpenMemorySource(static_cast<const unsigned char*>(file) + offset, length);
        if (!source) return Fail(BASS_ERROR_ILLPARAM);
    } else {
        source = OpenFileSource(static_cast<const char*>(file), offset, length);
        if (!source) return Fail(BASS_ERROR_FILEOPEN);
    }
    int error = BASS_OK;
    std::unique_ptr<Decoder> decoder = OpenMp3Decoder(std::move(source), &error);
    if (!decoder) return Fail(error);
    auto stream = std::make_unique<Stream>(engine.lock, std::move(decoder));
    std::lock_guard<std::mutex> hold(engine.lock);
    DWORD handle = NextHandleLocked(engine);
    engine.streams.emplace(handle, std::move(stream));
    if (!mem) quarvel::record::MusicFileOpened(static_cast<const char*>(file));
    SetError(BASS_OK);
    return handle;
}

BOOL BASS_StreamFree(HSTREAM handle) {
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> life(engine.lifecycle);
    std::unique_ptr<Stream> stream;
    {
        std::lock_guard<std::mutex> hold(engine.lock);
        auto found = engine.streams.find(handle);
        if (found == engine.streams.end()) return Fail(BASS_ERROR_HANDLE);
        stream = std::move(found->second);
        engine.streams.erase(found);
    }
    stream.reset();  // joins its decoder thread, so not under `lock`
    SetError(BASS_OK);
    return TRUE;
}

int BASS_ErrorGetCode(void) { return LastError(); }

// Decoding runs ahead on each stream's own thread; this only hurries it along.
BOOL BASS_Update(DWORD length) {
    (void)length;
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> hold(engine.lock);
    if (!engine.output) return Fail(BASS_ERROR_INIT);
    for (auto& [handle, stream] : engine.streams) stream->WakeDecoderLocked();
    SetError(BASS_OK);
    return TRUE;
}
