// Where the road scene's camera puts things in the full-screen background picture, so the
// picture's horizon and road sit under the 3D line art drawn over it.
#pragma once

namespace art {

constexpr int kBackgroundWidth = 1920;
constexpr int kBackgroundHeight = 1080;
// The background covers the 1280 x 720 virtual screen.
constexpr double kPixelsPerVirtual = kBackgroundHeight / 720.0;

// Picture row of a world point as the road camera sees it.
double BackgroundRow(float x, float y, float z);
// Picture row of the horizon: the ground seen infinitely far away.
double HorizonRow();

}  // namespace art
