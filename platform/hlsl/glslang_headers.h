// glslang's headers as this library uses them. The library target defines ENABLE_HLSL and
// ENABLE_OPT as Debian's glslang was built with: without them the headers hide the HLSL
// settings and the optimizer, and declare classes of a different shape.
#pragma once

#include <glslang/MachineIndependent/localintermediate.h>
#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>
#include <glslang/SPIRV/SpvTools.h>
