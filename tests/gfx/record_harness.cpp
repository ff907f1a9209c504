// A stand-in for the program's start-up and main loop, small enough to record quickly: the
// same calls in the same order (music stream, device, three start-up presents, one second's
// pause, play, then a frame per pass until the music ends or passes 30 s), each frame cleared
// to a colour that encodes its music time, so a test can check every recorded picture
// against the time it was recorded at.
#include <bass.h>
#include <quarvel/record.h>

#include "app/main_window.h"
#include "gfx/graphics_context.h"

namespace {

void ClearAndPresent(uint32_t ms) {
    const float colour[4] = {float(ms & 0xFF) / 255.0f, float((ms >> 8) & 0xFF) / 255.0f,
                             float((ms >> 16) & 0xFF) / 255.0f, 1.0f};
    graphics.context->ClearRenderTargetView(graphics.backBufferView, colour);
    graphics.swapChain->Present(1, 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    if (!quarvel::record::Start()) return 2;
    const WNDCLASSEXA windowClass = {sizeof(WNDCLASSEXA),       0,       DefWindowProcA, 0,       0,
                                     GetModuleHandleA(nullptr), nullptr, nullptr,        nullptr, nullptr,
                                     "QuarvelRecordHarness",    nullptr};
    RegisterClassExA(&windowClass);
    RECT rect = {0, 0, 64, 36};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    mainWindow = CreateWindowExA(0, "QuarvelRecordHarness", "harness", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                 CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    BASS_Init(-1, 44100, 0, mainWindow, NULL);
    const HSTREAM music = BASS_StreamCreateFile(FALSE, argv[1], 0, 0, 0);
    if (!music || !InitGraphics(true)) return 3;
    for (int i = 0; i < 3; ++i) ClearAndPresent(0);
    Sleep(1000);
    BASS_ChannelPlay(music, TRUE);
    uint32_t musicTimeMs = 0;
    while (BASS_ChannelIsActive(music) && musicTimeMs <= 30000) {
        const float seconds = (float)BASS_ChannelBytes2Seconds(music, BASS_ChannelGetPosition(music, BASS_POS_BYTE));
        musicTimeMs = (uint32_t)(seconds * 1000.0f);
        float fft[1024];
        BASS_ChannelGetData(music, fft, BASS_DATA_FFT2048);
        ClearAndPresent(musicTimeMs);
    }
    Sleep(500);
    ReleaseGraphics();
    return quarvel::record::Finish(0);
}
