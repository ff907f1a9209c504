#include "app/main_loop.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "app/audio_analysis.h"
#include "app/debug_camera.h"
#include "draw/debug_font.h"
#include "draw/text.h"
#include "gfx/graphics_context.h"
#include "post/post_chain.h"
#include "scene/compose_frame.h"

HSTREAM musicStream = 0;
uint32_t musicTimeMs = 0;
float musicTimeSec = 0.0f;
float fps = 0.0f;
int32_t frameCounter = 0;
float fpsClockSec = 0.0f;
float debugFloat = 0.0f;

#if defined(QUARVEL_DEBUG_SWITCHES) && QUARVEL_DEBUG_SWITCHES
bool showStats = true;
bool showOverlay = true;
#else
bool showStats = false;
bool showOverlay = false;
#endif
bool testMode = false;

void LoadDebugFont() {
#if defined(QUARVEL_DEBUG_SWITCHES) && QUARVEL_DEBUG_SWITCHES
    LoadFontFile(kDebugFontPath, graphics.fonts[3]);
#endif
}

static const uint32_t kEndOfShowMs = 30000;

uint32_t MusicTimeMsFromSeconds(float seconds) {
    float ms = seconds * 1000.0f;
    // The library reports a failed query as a negative position; converting that (or a
    // value past the 32-bit range) to unsigned would be undefined.
    if (!(ms >= 0.0f)) return 0;
    if (ms >= 4294967296.0f) return 0xFFFFFFFFu;
    return (uint32_t)ms;
}

void UpdateMusicClock() {
    QWORD position = BASS_ChannelGetPosition(musicStream, BASS_POS_BYTE);
    musicTimeSec = (float)BASS_ChannelBytes2Seconds(musicStream, position);
    musicTimeMs = MusicTimeMsFromSeconds(musicTimeSec);
}

void CountFrame() {
    frameCounter += 1;
    float now = (float)GetTickCount() * 0.001f;
    if (now - fpsClockSec > 1.0f) {
        fps = (float)frameCounter / (now - fpsClockSec);
        frameCounter = 0;
        fpsClockSec = now;
    }
}

void DrawStatistics() {
    char text[256];
    snprintf(text, sizeof text, "time: %.2f fps: %.2f debugfloat: %.2f", (double)((float)musicTimeMs * 0.001f),
             (double)fps, (double)debugFloat);
    DrawString(780, 30, text);
    if (testMode)
        snprintf(text, sizeof text, "test mode: %d ", 10);
    else
        snprintf(text, sizeof text, "demo mode");
    DrawString(780, 50, text);
}

void DrawFrame() {
    UpdateMusicClock();
    PollKeys();
    UpdateDebugCamera();
    CountFrame();
    BASS_Update(0);
    AnalyseAudio();
    RenderFrame();
    graphics.swapChain->Present(1, 0);  // waits for the vertical blank: this paces the loop
}

void RenderFrame() {
    static const float black[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    graphics.context->ClearRenderTargetView(graphics.backBufferView, black);
    graphics.context->ClearDepthStencilView(graphics.depthView, D3D11_CLEAR_DEPTH, 1.0f, 0);
    postChain.Begin();
    ComposeFrame();
    if (showOverlay) DrawAudioOverlay();
    if (showStats) DrawStatistics();
    postChain.End();
}

int RunMainLoop() {
    MSG msg;
    memset(&msg, 0, sizeof msg);
    bool quit = false;
    // musicTimeMs still holds the previous frame's time here: the first frame past the end
    // is drawn, and the loop stops before the next one.
    while (BASS_ChannelIsActive(musicStream) && musicTimeMs <= kEndOfShowMs) {
        if (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            DrawFrame();
        }
        if (msg.message == WM_QUIT) {
            quit = true;
            break;
        }
    }

    Sleep(500);  // the music plays on meanwhile
    BASS_ChannelStop(musicStream);
    postChain.Release();
    ReleaseGraphics();
    // A normal end is a success whatever message came last (a key release would otherwise
    // leave its key code as the exit status).
    return quit ? (int)msg.wParam : 0;
}
