#include "hlsl_front_end.h"

#include <d3dcompiler.h>

#include <climits>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "glslang_headers.h"

namespace quarvel::hlsl {
namespace {

void InitializeGlslangOnce() {
    static std::once_flag once;
    std::call_once(once, [] { glslang::InitializeProcess(); });
}

// glslang allocates from a per-thread "current" pool, which a shader or program object
// makes its own and does not give back when it is destroyed. Pointing the thread back at
// glslang's default pool keeps later work (SPIR-V generation, the next compile) off a
// freed one.
void ReleaseThreadPool() { glslang::SetThreadPoolAllocator(nullptr); }

EShLanguage LanguageOf(ShaderStage stage) { return stage == ShaderStage::Vertex ? EShLangVertex : EShLangFragment; }

// #include through the caller's ID3DInclude, or through files for the standard handler.
// Direct3D hands the handler the bytes of the including file as the parent, so those are
// remembered by the name glslang reports them under.
class IncludeHandler final : public glslang::TShader::Includer {
public:
    IncludeHandler(ID3DInclude* include, std::string sourceName, Diagnostics& diagnostics)
        : include_(include), sourceName_(std::move(sourceName)), diagnostics_(diagnostics) {}

    IncludeResult* includeLocal(const char* header, const char* includer, size_t depth) override {
        return Open(D3D_INCLUDE_LOCAL, header, includer, depth);
    }
    IncludeResult* includeSystem(const char* header, const char* includer, size_t depth) override {
        return Open(D3D_INCLUDE_SYSTEM, header, includer, depth);
    }
    void releaseInclude(IncludeResult* result) override {
        if (!result) return;
        if (IsStandard()) delete static_cast<std::string*>(result->userData);
        else include_->Close(result->headerData);
        delete result;
    }

private:
    bool IsStandard() const { return include_ == D3D_COMPILE_STANDARD_FILE_INCLUDE; }

    IncludeResult* Open(D3D_INCLUDE_TYPE type, const char* header, const char* includer, size_t) {
        if (!include_ || !header) return nullptr;
        const std::string parentName = includer ? includer : sourceName_;
        if (IsStandard()) return OpenFile(header, parentName);
        const auto parent = parents_.find(parentName);
        LPCVOID data = nullptr;
        UINT bytes = 0;
        if (FAILED(include_->Open(type, header, parent == parents_.end() ? nullptr : parent->second, &data, &bytes)) ||
            (!data && bytes))
            return nullptr;
        parents_[header] = data;
        diagnostics_.AddSource(header, std::string_view(static_cast<const char*>(data), bytes));
        return new IncludeResult(header, static_cast<const char*>(data), bytes, nullptr);
    }

    // Relative to the including file's folder, then to the working directory.
    IncludeResult* OpenFile(const std::string& header, const std::string& parentName) {
        const size_t slash = parentName.find_last_of("/\\");
        const std::string folder = slash == std::string::npos ? "" : parentName.substr(0, slash + 1);
        for (const std::string& path : {folder + header, header}) {
            std::ifstream file(path, std::ios::binary);
            if (!file) continue;
            std::ostringstream text;
            text << file.rdbuf();
            auto* owned = new std::string(text.str());
            diagnostics_.AddSource(path, *owned);
            return new IncludeResult(path, owned->data(), owned->size(), owned);
        }
        return nullptr;
    }

    ID3DInclude* include_;
    std::string sourceName_;
    Diagnostics& diagnostics_;
    std::map<std::string, LPCVOID> parents_;
};

}  // namespace

struct FrontEnd::Glslang {
    std::string source;
    std::string sourceName;
    std::string preamble;
    std::string entry;
    EShLanguage language = EShLangVertex;
    EShMessages messages = EShMsgDefault;
    std::unique_ptr<glslang::TShader> shader;
    std::unique_ptr<glslang::TProgram> program;

    // glslang keeps pointers to these arrays, not copies: they live as long as the shaders.
    const char* text = nullptr;
    int length = 0;
    const char* name = nullptr;

    void Configure(glslang::TShader& s) {
        text = source.c_str();
        length = static_cast<int>(source.size());
        name = sourceName.c_str();
        s.setStringsWithLengthsAndNames(&text, &length, &name, 1);
        s.setPreamble(preamble.c_str());
        s.setEntryPoint(entry.c_str());
        s.setEnvInput(glslang::EShSourceHlsl, language, glslang::EShClientVulkan, 100);
        s.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_0);
        s.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
        // Keeps each varying's HLSL semantic in the SPIR-V, which is how stages and input
        // layouts are matched.
        s.setEnvTargetHlslFunctionality1();
        s.setAutoMapBindings(true);
        s.setAutoMapLocations(true);
        s.setShiftBinding(glslang::EResTexture, kTextureBindingBase);
        s.setShiftBinding(glslang::EResSampler, kSamplerBindingBase);
        s.setShiftBinding(glslang::EResUbo, kBlockBindingBase);
        // Direct3D's SV_Position.w in a pixel shader is the clip w, GL's gl_FragCoord.w is 1/w.
        s.setDxPositionW(true);
    }
};

std::optional<ShaderStage> StageOfTarget(std::string_view target) {
    for (std::string_view t : {"vs_4_0", "vs_4_1", "vs_5_0"})
        if (target == t) return ShaderStage::Vertex;
    for (std::string_view t : {"ps_4_0", "ps_4_1", "ps_5_0"})
        if (target == t) return ShaderStage::Pixel;
    return std::nullopt;
}

FrontEnd::FrontEnd() = default;
FrontEnd::~FrontEnd() {
    if (!glslang_) return;
    // The program refers to the shader's intermediate code: it goes first.
    glslang_->program.reset();
    glslang_->shader.reset();
    ReleaseThreadPool();
}

bool FrontEnd::Parse(const FrontEndInput& input, Diagnostics& diagnostics) {
    InitializeGlslangOnce();
    if (input.source.size() > static_cast<size_t>(INT_MAX)) {
        diagnostics.Error("X3000", "source text too large");
        return false;
    }
    glslang_ = std::make_unique<Glslang>();
    Glslang& g = *glslang_;
    g.source.assign(input.source);
    g.sourceName = input.sourceName;
    g.entry = input.entry;
    g.language = LanguageOf(input.stage);
    if (input.flags & D3DCOMPILE_PACK_MATRIX_ROW_MAJOR) g.preamble += "#pragma pack_matrix(row_major)\n";
    for (const Macro& m : input.macros) g.preamble += "#define " + m.name + " " + m.definition + "\n";
    // glslang's relaxed mode turns its complaints about deprecated forms into warnings,
    // which is what Direct3D's compiler does without strictness.
    int messages = EShMsgSpvRules | EShMsgVulkanRules | EShMsgReadHlsl | EShMsgHlslOffsets;
    if (!(input.flags & D3DCOMPILE_ENABLE_STRICTNESS)) messages |= EShMsgRelaxedErrors;
    g.messages = static_cast<EShMessages>(messages);
    diagnostics.AddSource(input.sourceName, input.source);

    offsets_.clear();
    if (MayHaveExplicitOffsets(input.source) || input.source.find("#include") != std::string_view::npos) {
        // Its own shader object: glslang's parse runs only once per object. Messages come
        // from the real parse below.
        Diagnostics ignored(input.sourceName);
        IncludeHandler preIncluder(input.include, input.sourceName, ignored);
        std::string text;
        {
            glslang::TShader pre(g.language);
            g.Configure(pre);
            if (pre.preprocess(GetDefaultResources(), 100, ENoProfile, false, false, g.messages, &text, preIncluder))
                offsets_ = ScanExplicitOffsets(text);
        }
        ReleaseThreadPool();
    }

    IncludeHandler includer(input.include, input.sourceName, diagnostics);

    g.shader = std::make_unique<glslang::TShader>(g.language);
    g.Configure(*g.shader);
    const bool parsed = g.shader->parse(GetDefaultResources(), 100, false, g.messages, includer);
    diagnostics.AddGlslangLog(g.shader->getInfoLog());
    if (!parsed) return false;
    if (g.shader->getIntermediate()->getNumEntryPoints() == 0) {
        diagnostics.Error("X3501", "'" + input.entry + "': entrypoint not found");
        return false;
    }

    g.program = std::make_unique<glslang::TProgram>();
    g.program->addShader(g.shader.get());
    if (!g.program->link(g.messages) || !g.program->mapIO()) {
        diagnostics.AddGlslangLog(g.program->getInfoLog());
        if (!diagnostics.HasErrors()) diagnostics.Error("X3000", "linking the entry point failed");
        return false;
    }

    spirv_.clear();
    spv::SpvBuildLogger logger;
    glslang::SpvOptions options;
    options.disableOptimizer = true;
    glslang::GlslangToSpv(*g.program->getIntermediate(g.language), spirv_, &logger, &options);
    const std::string spvMessages = logger.getAllMessages();
    if (!spvMessages.empty()) diagnostics.Warning("X3000", spvMessages);
    if (spirv_.empty()) {
        diagnostics.Error("X3000", "no code was generated");
        return false;
    }
    return true;
}

bool FrontEnd::Legalize(Diagnostics& diagnostics) {
    if (!glslang_ || !glslang_->program || spirv_.empty()) {
        diagnostics.Error("X3000", "nothing to legalize");
        return false;
    }
    spv::SpvBuildLogger logger;
    glslang::SpvOptions options;
    options.disableOptimizer = false;
    glslang::SpirvToolsTransform(*glslang_->program->getIntermediate(glslang_->language), spirv_, &logger, &options);
    const std::string messages = logger.getAllMessages();
    if (!messages.empty()) diagnostics.Warning("X3000", messages);
    return !spirv_.empty();
}

}  // namespace quarvel::hlsl
