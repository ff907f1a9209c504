#include "app/audio_analysis.h"

#include <math.h>
#include <stdio.h>

#include "app/main_loop.h"
#include "draw/sprites.h"
#include "draw/text.h"
#include "gfx/graphics_context.h"

float musicLevel;
float fftBins[kFftBins];
float spectrumBands[kSpectrumBands];

void ReduceSpectrum(const float bins[kFftBins], float bands[kSpectrumBands]) {
    int b0 = 0;
    for (int i = 0; i < kSpectrumBands; ++i) {
        int b1 = (int)pow(2.0, i * (10.0 / 31.0));
        if (b1 <= b0) b1 = b0 + 1;
        if (b1 > kFftBins - 1) b1 = kFftBins - 1;
        float peak = 0.0f;
        while (b0 < b1) {
            if (peak < bins[b0 + 1]) peak = bins[b0 + 1];
            ++b0;
        }
        // Clamped before the conversion, so that even an absurd magnitude stays defined.
        const double scaled = sqrt((double)peak) * 381.0 - 4.0;
        const int y = scaled > 127.0 ? 127 : (int)scaled;
        bands[i] = (float)(y + 1) * (1.0f / 127.0f);
    }
}

void AnalyseAudio() {
    float level = 0.0f;
    // A failed query reads as silence; the level is only ever shown by the overlay.
    if (!BASS_ChannelGetLevelEx(musicStream, &level, 0.05f, BASS_LEVEL_MONO | BASS_LEVEL_RMS)) level = 0.0f;
    musicLevel = level;
    BASS_ChannelGetData(musicStream, fftBins, BASS_DATA_FFT2048);
    ReduceSpectrum(fftBins, spectrumBands);
}

void DrawAudioOverlay() {
    const float seconds =
        (float)BASS_ChannelBytes2Seconds(musicStream, BASS_ChannelGetPosition(musicStream, BASS_POS_BYTE));
    char text[64];
    snprintf(text, sizeof(text), "music time: %.2f level: %.2f", seconds, musicLevel);
    DrawString(0.0f, 50.0f, text);

    graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
    static const float colours[4][4] = {
        {1.0f, 0.9f, 0.9f, 0.0f}, {0.9f, 1.0f, 0.9f, 0.0f}, {0.9f, 0.9f, 1.0f, 0.0f}, {1.0f, 1.0f, 1.0f, 0.0f}};
    for (int i = 0; i < kSpectrumBands; ++i) {
        const float h = spectrumBands[i] * 200.0f;
        const float left = (float)(40 * i);
        DrawRect(left, 680.0f - h, (float)(40 * (i + 1)) - left, h, colours[i % 4]);
        snprintf(text, sizeof(text), "%3d", (int)(spectrumBands[i] * 100.0f));
        DrawString(left, 700.0f, text);
        snprintf(text, sizeof(text), "%3d", i);
        DrawString(left, 720.0f, text);
    }
    graphics.context->OMSetDepthStencilState(graphics.depthOn, 1);
}
