// Where recorded frames go: numbered PNG files with an index, or an ffmpeg process.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quarvel::record {

struct Frame {
    const uint8_t* rgb;  // width x height x 3, rows top first
    uint32_t width, height;
    uint64_t sequence;
    uint32_t musicMs;
    bool loop;           // presented by the main loop, not during start-up
    uint64_t slot;       // video frame number at the recording's rate
    // Loop frames: where the music starts on the video's time line.
    double musicStartSeconds;
};

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // False once writing has failed; `error` says why (kept for Close).
    virtual bool Write(const Frame& frame, std::string& error) = 0;
    // Finishes the output. False with `error` set when it is incomplete or broken.
    virtual bool Close(std::string& error) = 0;
};

// `folder` is created (with its parents) when missing. Null with `error` set when it cannot be.
std::unique_ptr<FrameSink> OpenFolderSink(const std::string& folder, std::string& error);

struct VideoOptions {
    std::string path;
    double fps = 30.0;
    std::string audioPath;  // empty: no sound track
};
// ffmpeg needs the size and where the music starts, so it is started with the first loop
// frame (or at Close); the start-up frames wait in memory until then. Null with `error` set
// when ffmpeg cannot be found.
std::unique_ptr<FrameSink> OpenVideoSink(const VideoOptions& options, std::string& error);

// The program `name` on PATH, or empty.
std::string FindProgram(const char* name);

}  // namespace quarvel::record
