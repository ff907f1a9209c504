// One place that starts SDL's video for everything in the platform that needs a window or
// a GL context, so every caller gets the same driver choice and GL attributes.
#pragma once

namespace quarvel::core {

// Starts SDL video once. With no display server (no DISPLAY and no WAYLAND_DISPLAY) the
// offscreen driver is used, which still gives a real GL 4.5 core context through EGL.
// Sets the GL attributes every window is created with: 4.5 core, double-buffered, no depth
// buffer of its own (Direct3D renders into its own targets). False with SDL's error on stderr.
bool InitVideo();

// True when DISPLAY or WAYLAND_DISPLAY names a display server.
bool HasDisplayServer();

// True when InitVideo chose the offscreen driver: nothing can be shown to a person.
bool IsHeadless();

}  // namespace quarvel::core
