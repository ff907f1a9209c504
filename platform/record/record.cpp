// The recording run's glue: settings, the virtual clock behind GetTickCount and Sleep, the
// frames the device presents, the audio output's clock, progress and the exit status.
#include <quarvel/record.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "frame_sink.h"
#include "frame_writer.h"
#include "record_settings.h"
#include "virtual_time.h"
#include "win32/clock.h"

namespace quarvel::record {
namespace {

// The presentation ends just after 30 s of music; only the time-left estimate uses it.
constexpr double kPresentationSeconds = 30.0;

struct Recorder {
    std::mutex lock;
    Settings settings;
    std::unique_ptr<VirtualTime> time;
    std::unique_ptr<FrameSink> sink;
    bool sinkOpened = false;
    // Writes the frames on a thread of its own; made with the first frame.
    std::unique_ptr<FrameWriter> writer;
    std::string musicFile;
    AudioRender render = nullptr;
    void* renderUser = nullptr;

    uint64_t frames = 0;
    double firstFrameMs = -1.0;
    double musicStartMs = 0.0;
    bool failed = false;
    std::string error;

    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point lastReport;
};

Recorder& TheRecorder() {
    static Recorder recorder;
    return recorder;
}

void Fail(Recorder& r, const std::string& error) {
    if (r.failed) return;
    r.failed = true;
    r.error = error;
    std::fprintf(stderr, "record: %s\n", error.c_str());
}

// Called with the lock held; returns what the audio output must be rendered up to.
uint64_t AudioTarget(Recorder& r, AudioRender* render, void** user) {
    *render = r.render;
    *user = r.renderUser;
    return r.time->HeardFrames();
}

void RenderAudio(AudioRender render, void* user, uint64_t frames) {
    if (render) render(user, frames);
}

uint64_t VirtualNowMs() {
    Recorder& r = TheRecorder();
    std::lock_guard<std::mutex> hold(r.lock);
    return r.time->NowMs();
}

void VirtualSleepMs(uint32_t ms) {
    Recorder& r = TheRecorder();
    AudioRender render;
    void* user;
    uint64_t frames;
    {
        std::lock_guard<std::mutex> hold(r.lock);
        r.time->Sleep(ms);
        frames = AudioTarget(r, &render, &user);
    }
    RenderAudio(render, user, frames);
}

const win32::ClockSource virtualClock{VirtualNowMs, VirtualSleepMs};

void Report(Recorder& r, bool last) {
    const auto now = std::chrono::steady_clock::now();
    if (!last && now - r.lastReport < std::chrono::seconds(2)) return;
    r.lastReport = now;
    const double seconds = std::chrono::duration<double>(now - r.started).count();
    const double rate = seconds > 0.0 ? static_cast<double>(r.frames) / seconds : 0.0;
    const double musicSeconds = r.time->MusicMs() / 1000.0;
    double framesLeft;
    if (!r.settings.timesMs.empty())
        framesLeft = r.time->Playing() ? double(r.settings.timesMs.size()) - double(r.time->LoopFrames())
                                       : double(r.settings.timesMs.size());
    else
        framesLeft = (kPresentationSeconds - musicSeconds) * r.settings.fps;
    framesLeft = framesLeft > 0.0 ? framesLeft : 0.0;
    if (last)
        std::fprintf(stderr, "record: %llu frames in %.1f s (%.2f frames/s), music %.2f s, written to %s\n",
                     static_cast<unsigned long long>(r.frames), seconds, rate, musicSeconds,
                     r.settings.path.c_str());
    else
        std::fprintf(stderr, "record: %llu frames, music %.2f s, %.2f frames/s, about %.0f s left\n",
                     static_cast<unsigned long long>(r.frames), musicSeconds, rate,
                     rate > 0.0 ? framesLeft / rate : 0.0);
}

}  // namespace

bool Start() {
    Recorder& r = TheRecorder();
    std::string error;
    if (!ParseSettings(std::getenv("QUARVEL_RECORD"), std::getenv("QUARVEL_RECORD_FPS"),
                       std::getenv("QUARVEL_RECORD_TIMES"), r.settings, error)) {
        std::fprintf(stderr, "record: %s\n", error.c_str());
        return false;
    }
    if (!r.settings.active) return true;

    if (r.settings.video) {
        // Checked now so a missing ffmpeg does not cost a whole run.
        if (FindProgram("ffmpeg").empty()) {
            std::fprintf(stderr, "record: recording %s needs ffmpeg, which is not on PATH (install the ffmpeg package)\n",
                         r.settings.path.c_str());
            return false;
        }
    } else {
        r.sink = OpenFolderSink(r.settings.path, error);
        if (!r.sink) {
            std::fprintf(stderr, "record: %s\n", error.c_str());
            return false;
        }
        r.sinkOpened = true;
    }

    r.time = std::make_unique<VirtualTime>(r.settings.fps, r.settings.timesMs, win32::ClockNowMs());
    win32::SetClockSource(&virtualClock);
    // Nothing needs to be shown: draw off-screen even where a display exists.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    r.started = r.lastReport = std::chrono::steady_clock::now();
    std::fprintf(stderr, "record: recording to %s at %g frames/s%s\n", r.settings.path.c_str(), r.settings.fps,
                 r.settings.timesMs.empty() ? "" : ", at the listed music times");
    return true;
}

int Finish(int status) {
    Recorder& r = TheRecorder();
    // Written to the end first; the writer reports failures under the lock.
    if (r.writer) r.writer->Drain();
    std::lock_guard<std::mutex> hold(r.lock);
    if (!r.settings.active) return status;
    r.writer.reset();
    win32::SetClockSource(nullptr);
    std::string error;
    if (r.sink && !r.sink->Close(error)) Fail(r, error);
    r.sink.reset();
    if (r.frames == 0) Fail(r, "no frame was presented, so nothing was recorded");
    Report(r, true);
    return r.failed && status == 0 ? 1 : status;
}

bool Active() { return TheRecorder().settings.active; }

void FramePresented(const uint8_t* rgba, uint32_t width, uint32_t height) {
    Recorder& r = TheRecorder();
    if (!r.settings.active || !rgba) return;
    AudioRender render;
    void* user;
    uint64_t frames;
    Frame frame;
    FrameSink* sink = nullptr;
    {
        std::lock_guard<std::mutex> hold(r.lock);
        if (!r.sinkOpened) {
            r.sinkOpened = true;
            VideoOptions options;
            options.path = r.settings.path;
            options.fps = r.settings.fps;
            // Visited times jump about: a sound track would not match them.
            if (r.settings.timesMs.empty()) options.audioPath = r.musicFile;
            std::string error;
            r.sink = OpenVideoSink(options, error);
            if (!r.sink) Fail(r, error);
        }
        if (!r.writer)
            r.writer = std::make_unique<FrameWriter>([&r](const std::string& error) {
                std::lock_guard<std::mutex> failing(r.lock);
                Fail(r, error);
            });
        const double now = r.time->ElapsedMs();
        if (r.firstFrameMs < 0.0) r.firstFrameMs = now;
        frame.rgb = nullptr;
        frame.width = width;
        frame.height = height;
        frame.sequence = r.frames;
        frame.musicMs = r.time->MusicMs();
        frame.loop = r.time->Playing();
        frame.slot = static_cast<uint64_t>(std::llround((now - r.firstFrameMs) * r.settings.fps / 1000.0));
        frame.musicStartSeconds = (r.musicStartMs - r.firstFrameMs) / 1000.0;
        if (!r.failed) sink = r.sink.get();
        ++r.frames;
        r.time->Present();
        Report(r, false);
        frames = AudioTarget(r, &render, &user);
    }
    // Outside the lock: the writer may be waiting for it to report a failure.
    if (sink) r.writer->Submit(sink, frame, rgba);
    RenderAudio(render, user, frames);
}

void AudioOpened(int rate, AudioRender render, void* user) {
    Recorder& r = TheRecorder();
    std::lock_guard<std::mutex> hold(r.lock);
    if (!r.settings.active) return;
    r.time->AudioOpened(rate);
    r.render = render;
    r.renderUser = user;
}

void AudioClosed() {
    Recorder& r = TheRecorder();
    std::lock_guard<std::mutex> hold(r.lock);
    r.render = nullptr;
    r.renderUser = nullptr;
}

uint64_t AudioFramesHeard() {
    Recorder& r = TheRecorder();
    std::lock_guard<std::mutex> hold(r.lock);
    return r.time ? r.time->HeardFrames() : 0;
}

void MusicFileOpened(const char* path) {
    Recorder& r = TheRecorder();
    std::lock_guard<std::mutex> hold(r.lock);
    if (path && r.musicFile.empty()) r.musicFile = path;
}

void MusicStarted() {
    Recorder& r = TheRecorder();
    AudioRender render;
    void* user;
    uint64_t frames;
    {
        std::lock_guard<std::mutex> hold(r.lock);
        if (!r.time || r.time->Playing()) return;
        r.time->MusicStarted();
        r.musicStartMs = r.time->ElapsedMs();
        // From here the heard frames are those of the first loop frame's music time, which
        // need not be the start. The output must carry them before anyone asks for the
        // position: its frames not yet rendered map to no stream position at all.
        frames = AudioTarget(r, &render, &user);
    }
    RenderAudio(render, user, frames);
}

bool MusicOver() {
    Recorder& r = TheRecorder();
    std::lock_guard<std::mutex> hold(r.lock);
    return r.time && r.time->MusicOver();
}

}  // namespace quarvel::record
