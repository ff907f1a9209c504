#include "d3d11_test_util.h"

#include <dlfcn.h>

#include <set>
#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

namespace quarvel::d3d11::test {

GlHooks& Hooks() {
    static GlHooks hooks;
    return hooks;
}

namespace {

#define QUARVEL_REAL(name) static auto* real = reinterpret_cast<decltype(&name)>(dlsym(RTLD_NEXT, #name))

std::set<GLsync> frozen;

}  // namespace
}  // namespace quarvel::d3d11::test

using namespace quarvel::d3d11::test;

GLsync glFenceSync(GLenum condition, GLbitfield flags) {
    QUARVEL_REAL(glFenceSync);
    if (Hooks().failFences) return nullptr;
    const GLsync sync = real(condition, flags);
    if (Hooks().gpu == GlHooks::Gpu::Frozen) frozen.insert(sync);
    return sync;
}

void glGetSynciv(GLsync sync, GLenum pname, GLsizei count, GLsizei* length, GLint* values) {
    QUARVEL_REAL(glGetSynciv);
    if (pname == GL_SYNC_STATUS && frozen.count(sync)) {
        *values = GL_UNSIGNALED;
        return;
    }
    if (pname == GL_SYNC_STATUS && Hooks().gpu != GlHooks::Gpu::Real)
        glClientWaitSync(sync, GL_SYNC_FLUSH_COMMANDS_BIT, GLuint64(10) * 1000 * 1000 * 1000);
    real(sync, pname, count, length, values);
}

GLenum glClientWaitSync(GLsync sync, GLbitfield flags, GLuint64 timeout) {
    QUARVEL_REAL(glClientWaitSync);
    return frozen.count(sync) ? GL_TIMEOUT_EXPIRED : real(sync, flags, timeout);
}

void glDeleteSync(GLsync sync) {
    QUARVEL_REAL(glDeleteSync);
    frozen.erase(sync);
    real(sync);
}

void glGetNamedBufferSubData(GLuint buffer, GLintptr offset, GLsizeiptr size, void* data) {
    QUARVEL_REAL(glGetNamedBufferSubData);
    ++Hooks().readBacks;
    real(buffer, offset, size, data);
}
