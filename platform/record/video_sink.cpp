// Frames piped to ffmpeg as raw RGB, encoded as H.264 (yuv420p) with the music as the sound
// track, at the recording's frame rate and the window's size.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame_sink.h"

extern char** environ;

namespace quarvel::record {
namespace {

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

std::string Number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

class VideoSink final : public FrameSink {
public:
    VideoSink(VideoOptions options, std::string ffmpeg) : options_(std::move(options)), ffmpeg_(std::move(ffmpeg)) {}
    ~VideoSink() override {
        std::string ignored;
        Close(ignored);
    }

    bool Write(const Frame& frame, std::string& error) override {
        if (failed_) return false;
        if (pid_ < 0) {
            if (width_ == 0) {
                width_ = frame.width;
                height_ = frame.height;
            }
            if (frame.width != width_ || frame.height != height_) return true;  // the video keeps its first size
            waiting_.push_back({std::vector<uint8_t>(frame.rgb, frame.rgb + size_t(frame.width) * frame.height * 3),
                                frame.slot});
            if (!frame.loop) return true;
            if (!Launch(frame.musicStartSeconds, error)) return false;
            return Flush(error);
        }
        if (frame.width != width_ || frame.height != height_) return true;
        waiting_.push_back({std::vector<uint8_t>(frame.rgb, frame.rgb + size_t(frame.width) * frame.height * 3),
                            frame.slot});
        return Flush(error);
    }

    bool Close(std::string& error) override {
        if (closed_) return !failed_;
        closed_ = true;
        if (pid_ < 0 && !failed_ && !waiting_.empty()) {
            // The music never started: the start-up frames alone, without sound.
            if (Launch(-1.0, error)) Flush(error);
        }
        if (pid_ < 0) return !failed_;
        close(pipe_);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        if (!failed_ && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
            error = "ffmpeg failed making " + options_.path +
                    (WIFEXITED(status) ? " (exit status " + std::to_string(WEXITSTATUS(status)) + ")" : " (killed)");
            failed_ = true;
        }
        return !failed_;
    }

private:
    struct Waiting {
        std::vector<uint8_t> rgb;
        uint64_t slot;
    };

    bool Launch(double musicStartSeconds, std::string& error) {
        std::vector<std::string> args = {ffmpeg_, "-hide_banner", "-loglevel", "error", "-y",
                                         "-f", "rawvideo", "-pix_fmt", "rgb24",
                                         "-s", std::to_string(width_) + "x" + std::to_string(height_),
                                         "-framerate", Number(options_.fps), "-i", "pipe:0"};
        const bool sound = musicStartSeconds >= 0.0 && !options_.audioPath.empty();
        if (sound) {
            args.insert(args.end(), {"-itsoffset", Number(musicStartSeconds), "-i", options_.audioPath,
                                     "-map", "0:v:0", "-map", "1:a:0", "-c:a", "aac", "-b:a", "192k", "-shortest"});
        }
        // H.264 wants even sizes; an odd window gets one black row or column.
        args.insert(args.end(), {"-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-c:v", "libx264", "-preset", "veryfast",
                                 "-crf", "18", "-pix_fmt", "yuv420p", options_.path});
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);

        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            error = std::string("cannot make a pipe to ffmpeg: ") + std::strerror(errno);
            failed_ = true;
            return false;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
        const int spawned = posix_spawn(&pid_, ffmpeg_.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[0]);
        if (spawned != 0) {
            close(fds[1]);
            pid_ = -1;
            error = "cannot start " + ffmpeg_ + ": " + std::strerror(spawned);
            failed_ = true;
            return false;
        }
        pipe_ = fds[1];
        // A dead ffmpeg shows as a failed write, not as a signal that ends the program.
        std::signal(SIGPIPE, SIG_IGN);
        return true;
    }

    // Writes what waits; a gap in the slots repeats the frame before it, so the video's
    // time line is the virtual clock's (the full loading bar stays up for its second).
    bool Flush(std::string& error) {
        for (Waiting& frame : waiting_) {
            if (written_ > 0 && frame.slot <= lastSlot_) continue;  // same moment: first one kept
            const std::vector<uint8_t>& fill = written_ > 0 ? last_ : frame.rgb;
            for (uint64_t slot = written_ > 0 ? lastSlot_ + 1 : frame.slot; slot < frame.slot; ++slot)
                if (!Send(fill, error)) return false;
            if (!Send(frame.rgb, error)) return false;
            lastSlot_ = frame.slot;
            last_ = std::move(frame.rgb);
        }
        waiting_.clear();
        return true;
    }

    bool Send(const std::vector<uint8_t>& rgb, std::string& error) {
        if (!WriteAll(pipe_, rgb.data(), rgb.size())) {
            error = "ffmpeg stopped taking frames for " + options_.path;
            failed_ = true;
            return false;
        }
        ++written_;
        return true;
    }

    VideoOptions options_;
    std::string ffmpeg_;
    uint32_t width_ = 0, height_ = 0;
    pid_t pid_ = -1;
    int pipe_ = -1;
    bool failed_ = false;
    bool closed_ = false;
    std::vector<Waiting> waiting_;
    std::vector<uint8_t> last_;
    uint64_t lastSlot_ = 0;
    uint64_t written_ = 0;
};

}  // namespace

std::string FindProgram(const char* name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path && *path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string candidate = (end > start ? dirs.substr(start, end - start) : std::string(".")) + "/" + name;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

std::unique_ptr<FrameSink> OpenVideoSink(const VideoOptions& options, std::string& error) {
    const std::string ffmpeg = FindProgram("ffmpeg");
    if (ffmpeg.empty()) {
        error = "recording " + options.path + " needs ffmpeg, which is not on PATH (install the ffmpeg package)";
        return nullptr;
    }
    return std::make_unique<VideoSink>(options, ffmpeg);
}

}  // namespace quarvel::record
