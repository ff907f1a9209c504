// The main loop: window messages and frames on one thread, clocked by the music.
#pragma once

#include <stdint.h>

#include <bass.h>

extern HSTREAM musicStream;  // 0 when the music could not be opened
extern uint32_t musicTimeMs;  // music time of the current frame
extern float musicTimeSec;
extern float fps;             // renewed about once a second
extern int32_t frameCounter;  // frames since the last renewal of fps
extern float fpsClockSec;     // tick-count seconds of the last renewal
extern float debugFloat;      // a tuning value; stays 0

// Debug switches. Off in the running system; a build with QUARVEL_DEBUG_SWITCHES starts with
// the statistics lines and the audio overlay on.
extern bool showStats;
extern bool testMode;
extern bool showOverlay;
// The statistics and the overlay are the only text; builds that show them load its font
// into slot 3, the others carry none.
void LoadDebugFont();

// Milliseconds of music for a position in seconds, truncated; 0 for a negative (failed)
// position.
uint32_t MusicTimeMsFromSeconds(float seconds);

// Reads the music position into musicTimeSec and musicTimeMs.
void UpdateMusicClock();
// Counts one frame and renews fps once more than a second of tick count has passed.
void CountFrame();
// The two statistics lines at the top right of the virtual screen.
void DrawStatistics();
// One frame, from the music clock to the present. Needs the graphics device and the
// post-processing chain.
void DrawFrame();
// The drawing part of DrawFrame, from the clears to the back buffer, for the music time and
// spectrum already set; no present.
void RenderFrame();

// Runs until the music stops, the first frame past 30 000 ms has been drawn, or WM_QUIT;
// then stops the music, releases the post-processing chain and the graphics, and returns
// the exit code: WM_QUIT's code when it ended the loop, 0 otherwise.
int RunMainLoop();
