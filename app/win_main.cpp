// The entry point: setup dialog, window, music, graphics and resources, then the main loop.
#include <bass.h>
#include <d3d11.h>
#include <string.h>
#include <windows.h>

#include "app/debug_camera.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/scene_resources.h"
#include "app/setup_dialog.h"
#include "app/startup.h"
#include "app/window_proc.h"
#include "draw/sprites.h"
#include "gfx/graphics_context.h"
#include "gfx/shader_program.h"
#include "post/post_chain.h"

static const char kMusicFile[] = "Data/BRISVANE KETRA MASTER 22.mp3";

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
    (void)hInstance;
    (void)hPrevInstance;
    (void)lpCmdLine;
    HINSTANCE instance = GetModuleHandleA(NULL);
    SetDefaultDisplaySettings(instance);

    if (DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), NULL, SetupDialogProc, 0) == 0) return -1;

    if (!RegisterWindowClass(instance)) return E_FAIL;
    mainWindow = CreateMainWindow(instance);
    if (!mainWindow) return E_FAIL;
    ShowWindow(mainWindow, nCmdShow);
    StartDecodingScenePictures();

    BASS_Init(-1, 44100, 0, mainWindow, NULL);
    musicStream = BASS_StreamCreateFile(FALSE, kMusicFile, 0, 0, 0);
    // Nothing is reported: with no stream the main loop ends before its first frame.
    if (!musicStream) BASS_ErrorGetCode();

    // Without a device there is nothing to draw with: end as a failed start, releasing
    // whatever was made.
    if (!InitGraphics(displaySettings.windowed != 0)) {
        MessageBoxA(NULL, "The graphics device could not be created.", "Quarvel", MB_OK | MB_ICONERROR);
        ReleaseGraphics();
        return E_FAIL;
    }
    postChain.Create();
    LoadDebugFont();

    DrawLoadingBar(10);
    DrawLoadingBar(20);
    CreateSeaProgram();
    LoadSceneResources();
    DrawLoadingBar(100);
    Sleep(1000);  // the full bar stays on screen

    SetDebugCameraStart();
    BASS_ChannelPlay(musicStream, TRUE);
    return RunMainLoop();
}
