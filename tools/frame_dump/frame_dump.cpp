// Draws chosen moments of the presentation and writes each as a PNG, so that two Direct3D 11
// implementations (the Linux stand-in and Windows or Wine) can be compared picture by picture.
// The window, device, post chain and scene resources come from the program's own start-up
// steps and each frame from its own RenderFrame; only the music clock and the spectrum are
// set here instead of read from the music, so both sides see the same inputs.
//
//   quarvel_frame_dump OUT_DIR WIDTHxHEIGHT MOMENT...
//
// A moment is a music time in milliseconds, or barN for the loading bar at N percent. Each
// becomes OUT_DIR/MOMENT.png (RGB, the back buffer read through a staging texture before any
// present). Exit status 0 when every picture was written, 1 when one was not, 2 for bad
// arguments or a failed start.
#include <d3d11.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <vector>

#include "app/audio_analysis.h"
#include "app/debug_camera.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/scene_resources.h"
#include "app/setup_dialog.h"
#include "app/startup.h"
#include "draw/sprites.h"
#include "gfx/graphics_context.h"
#include "post/post_chain.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

// A spectrum that moves every band of the VHS pass, the same on every run and every side.
void SetFixedSpectrum() {
    for (int i = 0; i < kSpectrumBands; ++i) spectrumBands[i] = (float)((i * 29) % 97) / 127.0f;
    musicLevel = 0.25f;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool WriteBackBuffer(const char* path) {
    ID3D11Texture2D* back = NULL;
    if (FAILED(graphics.swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), (void**)&back))) return false;
    D3D11_TEXTURE2D_DESC desc;
    back->GetDesc(&desc);
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    desc.MiscFlags = 0;
    ID3D11Texture2D* staging = NULL;
    bool written = false;
    if (SUCCEEDED(graphics.device->CreateTexture2D(&desc, NULL, &staging))) {
        graphics.context->CopyResource(staging, back);
        D3D11_MAPPED_SUBRESOURCE mapped;
        if (SUCCEEDED(graphics.context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped))) {
            // The alpha of the back buffer is never shown; it stays out of the comparison.
            std::vector<unsigned char> rgb((size_t)desc.Width * desc.Height * 3);
            for (UINT y = 0; y < desc.Height; ++y) {
                const unsigned char* row = (const unsigned char*)mapped.pData + (size_t)y * mapped.RowPitch;
                for (UINT x = 0; x < desc.Width; ++x) memcpy(&rgb[((size_t)y * desc.Width + x) * 3], row + x * 4, 3);
            }
            graphics.context->Unmap(staging, 0);
            written = stbi_write_png(path, (int)desc.Width, (int)desc.Height, 3, rgb.data(), (int)desc.Width * 3) != 0;
        }
        staging->Release();
    }
    back->Release();
    return written;
}

bool DrawMoment(const char* moment) {
    if (strncmp(moment, "bar", 3) == 0) {
        DrawLoadingBarImage((float)atof(moment + 3));
        return true;
    }
    char* end = NULL;
    const unsigned long ms = strtoul(moment, &end, 10);
    if (end == moment || *end) return false;
    musicTimeMs = (uint32_t)ms;
    musicTimeSec = (float)ms * 0.001f;
    SetFixedSpectrum();
    RenderFrame();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int width = 0, height = 0;
    if (argc < 4 || sscanf(argv[2], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        fprintf(stderr, "usage: %s OUT_DIR WIDTHxHEIGHT MOMENT...  (MOMENT: milliseconds, or barN)\n", argv[0]);
        return 2;
    }
    HINSTANCE instance = GetModuleHandleA(NULL);
    SetDefaultDisplaySettings(instance);
    displaySettings.width = width;
    displaySettings.height = height;
    displaySettings.windowed = 1;
    if (!RegisterWindowClass(instance) || !(mainWindow = CreateMainWindow(instance))) {
        fprintf(stderr, "frame_dump: the window cannot be made\n");
        return 2;
    }
    ShowWindow(mainWindow, SW_SHOW);
    StartDecodingScenePictures();
    if (!InitGraphics(true)) {
        fprintf(stderr, "frame_dump: the graphics device cannot be made\n");
        ReleaseGraphics();
        return 2;
    }
    postChain.Create();
    CreateSeaProgram();
    LoadSceneResources();
    SetDebugCameraStart();

    int status = 0;
    for (int i = 3; i < argc; ++i) {
        PumpMessages();
        char path[1024];
        snprintf(path, sizeof path, "%s/%s.png", argv[1], argv[i]);
        if (!DrawMoment(argv[i])) {
            fprintf(stderr, "frame_dump: '%s' is not a moment\n", argv[i]);
            status = 2;
            continue;
        }
        if (!WriteBackBuffer(path)) {
            fprintf(stderr, "frame_dump: %s cannot be written\n", path);
            status = status ? status : 1;
        }
        graphics.swapChain->Present(0, 0);
    }
    postChain.Release();
    ReleaseGraphics();
    DestroyWindow(mainWindow);
    return status;
}
