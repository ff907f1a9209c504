#include "test_support.h"

#include <SDL2/SDL.h>

#include <fstream>
#include <iterator>

#include "core/video.h"

namespace quarvel::hlsl::test {

Compiled Compile(const std::string& source, const char* entry, const char* target, const char* sourceName, UINT flags,
                 const D3D_SHADER_MACRO* defines, ID3DInclude* include) {
    Compiled c;
    ID3DBlob* code = nullptr;
    ID3DBlob* errors = nullptr;
    c.hr = D3DCompile(source.data(), source.size(), sourceName, defines, include, entry, target, flags, 0, &code,
                      &errors);
    if (errors) {
        c.messages = static_cast<const char*>(errors->GetBufferPointer());
        errors->Release();
    }
    if (code) {
        c.blobRead = ReadShaderBlob(code->GetBufferPointer(), code->GetBufferSize(), c.shader);
        code->Release();
    }
    return c;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool EnsureGlContext(std::string& why) {
    static const std::string failure = [] {
        if (!core::InitVideo()) return std::string("SDL video did not start");
        SDL_Window* window = SDL_CreateWindow("hlsl", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!window || !SDL_GL_CreateContext(window)) return std::string("no GL 4.5 core context: ") + SDL_GetError();
        return std::string();
    }();
    why = failure;
    return failure.empty();
}

namespace {
std::string Log(GLuint object, bool program) {
    GLint length = 0;
    (program ? glGetProgramiv : glGetShaderiv)(object, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<size_t>(length) + 1, '\0');
    (program ? glGetProgramInfoLog : glGetShaderInfoLog)(object, length, nullptr, log.data());
    return log;
}
}  // namespace

GLuint LinkProgram(const std::string& vertexGlsl, const std::string& pixelGlsl, std::string& log) {
    const GLuint program = glCreateProgram();
    log.clear();
    for (const auto& [stage, text] : {std::pair{GL_VERTEX_SHADER, &vertexGlsl}, std::pair{GL_FRAGMENT_SHADER, &pixelGlsl}}) {
        const GLuint shader = glCreateShader(stage);
        const char* source = text->c_str();
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        log += Log(shader, false);
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    log += Log(program, true);
    if (!ok) glDeleteProgram(program);
    return ok ? program : 0;
}

std::vector<float> DrawRow(GLuint program, int width) {
    GLuint texture = 0, framebuffer = 0, vao = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexStorage2D(GL_TEXTURE_2D, 1, GL_RGBA32F, width, 1);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glGenVertexArrays(1, &vao);  // a core profile draws nothing without one
    glBindVertexArray(vao);
    glViewport(0, 0, width, 1);
    glUseProgram(program);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    std::vector<float> pixels(4 * static_cast<size_t>(width), -1.0f);
    glReadPixels(0, 0, width, 1, GL_RGBA, GL_FLOAT, pixels.data());
    glDeleteVertexArrays(1, &vao);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &texture);
    return pixels;
}

const std::vector<SystemProgram> kSystemPrograms = {
    {"Shaders2D.fx", "TTFPS", "VS"}, {"Shaders2D.fx", "ColorPS", "VS"}, {"Shaders2D.fx", "Texture2DPS", "VS"},
    {"Shaders2D.fx", "MergePS", "VS"}, {"Shaders3D.fx", "DiffusePS", "VS"}, {"Shaders3D.fx", "HemispherePS", "VS"},
    {"Shaders3D.fx", "TexturePS", "VS"}, {"Shaders3D.fx", "DiffuseTexturePS", "VS"},
    {"Shaders3D.fx", "DiffuseTextureCubemapPS", "VS"}, {"Shaders3D.fx", "SkyboxPS", "SkyboxVS"},
    {"PostProcess.hlsl", "PS", "VS"}, {"PostProcess.hlsl", "GlitchPS", "VS"}, {"PostProcess.hlsl", "PixelatePS", "VS"},
    {"PostProcess.hlsl", "ChromaticAberrationPS", "VS"}, {"PostProcess.hlsl", "BokehPS", "VS"},
    {"PostProcess.hlsl", "RGBPS", "VS"}, {"PostProcess.hlsl", "DOFBlurPS", "VS"}, {"PostProcess.hlsl", "DOFPS", "VS"},
    {"PostProcess.hlsl", "MPEGArtifactPS", "VS"}, {"PostProcess.hlsl", "LensDistortPS", "VS"},
    {"PostProcess.hlsl", "KaleidoscopePS", "VS"}, {"PostProcess.hlsl", "HexablurPS", "VS"},
    {"PostProcess.hlsl", "Dh_Dof_PS", "VS"}, {"PostProcess.hlsl", "VHSPS", "VS"},
    {"Bloom.hlsl", "DownScale4x4PS", "VS"}, {"Bloom.hlsl", "BrightPassPS", "VS"},
    {"Bloom.hlsl", "GaussBlur5x5PS", "VS"}, {"Bloom.hlsl", "GaussBlur15x1PS", "VS"}, {"Bloom.hlsl", "FinalPassPS", "VS"},
    {"Bloom.hlsl", "StarPS", "VS"}, {"FractalCloud.hlsl", "FractalCloudPS", "VS"},
};

}  // namespace quarvel::hlsl::test
