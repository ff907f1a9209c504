// SPIRV-Cross's GLSL back end, as this library uses it (exceptions on: failures arrive as
// spirv_cross::CompilerError).
#pragma once

#include <spirv_glsl.hpp>
