// Runs the whole program as a child process on the virtual display, with the platform's
// trace on standard error, and stages data folders for it to run in.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "scratch.h"

struct ProgramRun {
    int status = -1;  // exit status, or -1 when it did not exit by itself
    double seconds = 0;
    std::string errors;
    bool Traced(const std::string& line) const { return errors.find(line) != std::string::npos; }
    size_t Count(const std::string& text) const;
};

// The build tree's top folder, where the program, Data/ and Shaders/ are.
std::string ProgramDirectory();

// Runs the program in `directory` with the test's environment changed by `changes` (an
// empty value removes the variable); kills it after `limitSeconds`, which fails the test.
ProgramRun RunProgram(const std::string& directory, const std::map<std::string, std::string>& changes,
                      double limitSeconds);

// A fresh folder holding Data/ and Shaders/ as links to the build tree's files, so a test can
// take one away or put a damaged copy in its place. Removed with everything in it when it
// goes out of scope.
class StagedTree {
public:
    StagedTree();

    const std::string& Path() const { return path_; }
    // `relative` such as "Data/overheadpylon.vbo".
    void Remove(const std::string& relative);
    void Replace(const std::string& relative, const std::vector<unsigned char>& bytes);
    std::vector<unsigned char> Original(const std::string& relative) const;

private:
    quarvel::test::ScratchFolder folder_;
    const std::string path_ = folder_.Path();
};

// Every file of the build tree's Data/ or Shaders/ folder that the program reads, by name.
std::vector<std::string> DataFiles();
std::vector<std::string> ShaderFiles();

// One line of a recording's frames.tsv.
struct RecordedFrame {
    int number;
    unsigned musicMs;
    bool loop;  // false: before the music started (the loading bar)
};
std::vector<RecordedFrame> ReadFrames(const std::string& folder);

// A run recorded into a folder: its frames and their PNG files.
struct Recording {
    ProgramRun run;
    std::vector<RecordedFrame> frames;
    std::vector<std::vector<unsigned char>> pictures;  // in frame order

    std::vector<unsigned> LoopTimes() const;
    // The PNG of the loop frame at `ms`, or an empty one.
    std::vector<unsigned char> LoopPicture(unsigned ms) const;
    std::vector<std::vector<unsigned char>> LoopPictures() const;
};

// The frames and pictures a recording left in `folder`.
void ReadRecorded(const std::string& folder, Recording& recording);

// Records the program run in `directory` windowed at `width` x `height`, with the display
// offering that mode, visiting `times` (all of the run at `fps` when empty); `changes` as
// for RunProgram.
Recording RecordProgram(const std::string& directory, const std::map<std::string, std::string>& changes,
                        const std::vector<unsigned>& times, int width, int height, int fps = 30,
                        double limitSeconds = 300);
