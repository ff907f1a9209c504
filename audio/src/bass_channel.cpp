// Playback control and the heard position of a stream.
#include "engine.h"
#include "error_code.h"
#include "record_hooks.h"

#include <bass.h>

using namespace quarvel::audio;

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    Engine& engine = TheEngine();
    {
        std::lock_guard<std::mutex> hold(engine.lock);
        Stream* stream = FindStreamLocked(engine, handle);
        if (stream == nullptr) return FALSE;
        stream->PlayLocked(restart != FALSE);
    }
    // Outside the lock: a recording renders the output up to its clock here, and rendering
    // takes the lock itself.
    quarvel::record::MusicStarted();
    SetError(BASS_OK);
    return TRUE;
}

BOOL BASS_ChannelStop(DWORD handle) {
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> hold(engine.lock);
    Stream* stream = FindStreamLocked(engine, handle);
    if (stream == nullptr) return FALSE;
    stream->StopLocked();
    SetError(BASS_OK);
    return TRUE;
}

DWORD BASS_ChannelIsActive(DWORD handle) {
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> hold(engine.lock);
    Stream* stream = FindStreamLocked(engine, handle);
    if (stream == nullptr) return BASS_ACTIVE_STOPPED;
    SetError(BASS_OK);
    // A recording of chosen music times ends after the last of them.
    if (quarvel::record::MusicOver()) return BASS_ACTIVE_STOPPED;
    return stream->ActivityLocked(HeardLocked(engine));
}

QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode) {
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> hold(engine.lock);
    Stream* stream = FindStreamLocked(engine, handle);
    if (stream == nullptr) return static_cast<QWORD>(-1);
    if (mode != BASS_POS_BYTE) {
        SetError(BASS_ERROR_NOTAVAIL);
        return static_cast<QWORD>(-1);
    }
    QWORD frameBytes = static_cast<QWORD>(stream->Format().channels) * 2u;
    SetError(BASS_OK);
    return stream->PositionLocked(HeardLocked(engine)) * frameBytes;
}

double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> hold(engine.lock);
    Stream* stream = FindStreamLocked(engine, handle);
    if (stream == nullptr) return -1.0;
    SetError(BASS_OK);
    return static_cast<double>(pos) / static_cast<double>(stream->BytesPerSecond());
}
