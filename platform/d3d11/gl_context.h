// The GL 4.5 core context a device renders with: made on the program's window when a swap
// chain is created with the device, or on a hidden 1x1 window of its own otherwise (tests,
// tools). MakeCurrent switches only when another context is current, so a program with one
// device pays for the switch once.
#pragma once

#include <SDL2/SDL.h>

#include <string>

namespace quarvel::d3d11 {

class GlContext {
public:
    GlContext() = default;
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;
    ~GlContext();

    // `window` null makes a hidden window of its own. False with the reason in `error`.
    bool Create(SDL_Window* window, std::string& error);
    void MakeCurrent();
    SDL_Window* Window() const { return window_; }

private:
    SDL_Window* window_ = nullptr;
    bool ownsWindow_ = false;
    SDL_GLContext context_ = nullptr;
};

}  // namespace quarvel::d3d11
