// A hidden window of the given client size with the graphics context made for it, for the
// benchmarks; the working directory becomes the build tree's top (Data/, Shaders/).
#pragma once

bool OpenBenchGraphics(int width, int height);
void CloseBenchGraphics();
