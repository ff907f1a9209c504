#include "gl_context.h"

#include "core/video.h"
#include "gl.h"

namespace quarvel::d3d11 {

GlContext::~GlContext() {
    if (context_) {
        if (SDL_GL_GetCurrentContext() == context_) SDL_GL_MakeCurrent(window_, nullptr);
        SDL_GL_DeleteContext(context_);
    }
    if (ownsWindow_ && window_) SDL_DestroyWindow(window_);
}

bool GlContext::Create(SDL_Window* window, std::string& error) {
    if (!core::InitVideo()) {
        error = "SDL video could not be started";
        return false;
    }
    if (!window) {
        window = SDL_CreateWindow("quarvel device", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1, 1,
                                  SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!window) {
            error = std::string("cannot create the device's hidden window: ") + SDL_GetError();
            return false;
        }
        ownsWindow_ = true;
    }
    window_ = window;
    context_ = SDL_GL_CreateContext(window_);
    if (!context_) {
        error = std::string("cannot create a GL 4.5 core context: ") + SDL_GetError();
        return false;
    }
    GLint major = 0, minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    if (major * 10 + minor < 45) {
        error = "the GL context is older than 4.5";
        return false;
    }
    return true;
}

void GlContext::MakeCurrent() {
    // Asking SDL (a thread-local read) rather than remembering: other code of the program
    // may make its own context current in between.
    if (SDL_GL_GetCurrentContext() == context_) return;
    SDL_GL_MakeCurrent(window_, context_);
}

}  // namespace quarvel::d3d11
