#include "glsl_back_end.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "cbuffer_layout.h"
#include "hlsl_front_end.h"
#include "spirv_cross_headers.h"

namespace quarvel::hlsl {
namespace {

using spirv_cross::CompilerGLSL;
using spirv_cross::SPIRType;

struct Semantic {
    std::string name;  // upper case, no index digits
    uint32_t index = 0;
};

// "TexCoord1" -> TEXCOORD, 1; "SV_Target" -> SV_TARGET, 0.
Semantic ParseSemantic(const std::string& text) {
    Semantic s;
    size_t digits = text.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(text[digits - 1]))) --digits;
    if (digits == 0) digits = text.size();
    for (size_t i = 0; i < digits; ++i) s.name += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    if (digits < text.size() && text.size() - digits <= 6) s.index = static_cast<uint32_t>(std::stoul(text.substr(digits)));
    return s;
}

// A GLSL identifier from any name: no odd characters, and no "__", which GLSL reserves.
std::string Sanitize(const std::string& name) {
    std::string out;
    for (char c : name) {
        const char k = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        if (k == '_' && (out.empty() || out.back() == '_')) continue;
        out += k;
    }
    while (!out.empty() && out.back() == '_') out.pop_back();
    return out.empty() ? "unnamed" : out;
}

class NamePool {
public:
    std::string Take(const std::string& wanted) {
        std::string name = wanted;
        for (int n = 1; !used_.insert(name).second; ++n) name = wanted + "_" + std::to_string(n);
        return name;
    }

private:
    std::set<std::string> used_;
};

class Translator {
public:
    Translator(const std::vector<uint32_t>& spirv, ShaderStage stage, const ExplicitOffsets& offsets,
               Diagnostics& diagnostics)
        : c_(spirv), stage_(stage), offsets_(offsets), diag_(diagnostics),
          prefix_(stage == ShaderStage::Vertex ? "vs_" : "ps_") {}

    bool Run(CompiledShader& out) {
        const spirv_cross::ShaderResources all = c_.get_shader_resources();
        if (!RejectUnsupported(all)) return false;
        if (stage_ == ShaderStage::Vertex) {
            if (!VertexInputs(c_.get_shader_resources(c_.get_active_interface_variables()), out)) return false;
            if (!Varyings(all.stage_outputs)) return false;
        } else {
            if (!Varyings(all.stage_inputs) || !TargetOutputs(all.stage_outputs)) return false;
        }
        for (const spirv_cross::Resource& r : all.uniform_buffers)
            if (!Block(r, out)) return false;
        if (!Samplers(out)) return false;

        CompilerGLSL::Options options;
        options.version = 450;
        options.es = false;
        options.vulkan_semantics = false;
        options.separate_shader_objects = false;
        options.enable_420pack_extension = false;
        // Positions go out as Direct3D has them: the device sets glClipControl to match.
        options.vertex.fixup_clipspace = false;
        options.vertex.flip_vert_y = false;
        // SV_InstanceID counts from 0 whatever the draw's start instance, as gl_InstanceID does.
        options.vertex.support_nonzero_base_instance = false;
        c_.set_common_options(options);
        out.glsl = c_.compile();
        return true;
    }

private:
    // `name` places the message where that name first appears in the source.
    bool Fail(const std::string& message, const std::string& name = "") {
        diag_.ErrorAt("X3000", message, name);
        return false;
    }

    bool RejectUnsupported(const spirv_cross::ShaderResources& r) {
        if (!r.storage_buffers.empty())
            return Fail("structured and byte-address buffers are not supported", c_.get_name(r.storage_buffers[0].id));
        if (!r.storage_images.empty())
            return Fail("unordered-access views are not supported", c_.get_name(r.storage_images[0].id));
        if (!r.atomic_counters.empty() || !r.push_constant_buffers.empty() || !r.subpass_inputs.empty())
            return Fail("the shader uses resources that Direct3D 11 shaders here cannot have");
        return true;
    }

    bool VertexInputs(const spirv_cross::ShaderResources& active, CompiledShader& out) {
        for (const spirv_cross::Resource& r : active.stage_inputs) {
            const SPIRType& type = c_.get_type(r.type_id);
            const std::string text = c_.get_decoration_string(r.id, spv::DecorationHlslSemanticGOOGLE);
            if (text.empty()) return Fail("vertex input '" + r.name + "' has no semantic");
            if (!type.array.empty() || type.columns > 1 || type.vecsize < 1 || type.vecsize > 4)
                return Fail("vertex input '" + text + "' must be a scalar or vector");
            VertexInput in;
            const Semantic s = ParseSemantic(text);
            in.semantic = s.name;
            in.semanticIndex = s.index;
            in.location = c_.get_decoration(r.id, spv::DecorationLocation);
            in.components = type.vecsize;
            switch (type.basetype) {
                case SPIRType::Float: in.type = ComponentType::Float; break;
                case SPIRType::Int: in.type = ComponentType::SInt; break;
                case SPIRType::UInt: in.type = ComponentType::UInt; break;
                default: return Fail("vertex input '" + text + "' must be 32-bit float, int or uint");
            }
            c_.set_name(r.id, names_.Take("attr_" + Sanitize(s.name) + std::to_string(s.index)));
            out.inputs.push_back(in);
        }
        std::sort(out.inputs.begin(), out.inputs.end(),
                  [](const VertexInput& a, const VertexInput& b) { return a.location < b.location; });
        return true;
    }

    // Vertex outputs and pixel inputs lose their locations and take their semantic's name,
    // so separately compiled stages meet by name in the linked GL program.
    bool Varyings(const spirv_cross::SmallVector<spirv_cross::Resource>& vars) {
        std::set<std::string> seen;
        for (const spirv_cross::Resource& r : vars) {
            const std::string text = c_.get_decoration_string(r.id, spv::DecorationHlslSemanticGOOGLE);
            if (text.empty()) return Fail("'" + r.name + "' has no semantic");
            const Semantic s = ParseSemantic(text);
            const std::string name = "vary_" + Sanitize(s.name) + std::to_string(s.index);
            if (!seen.insert(name).second) return Fail("semantic '" + text + "' is used twice");
            c_.set_name(r.id, names_.Take(name));
            c_.unset_decoration(r.id, spv::DecorationLocation);
            c_.unset_decoration(r.id, spv::DecorationComponent);
        }
        return true;
    }

    bool TargetOutputs(const spirv_cross::SmallVector<spirv_cross::Resource>& vars) {
        for (const spirv_cross::Resource& r : vars) {
            const Semantic s = ParseSemantic(c_.get_decoration_string(r.id, spv::DecorationHlslSemanticGOOGLE));
            if (s.name != "SV_TARGET" || s.index > 7) return Fail("pixel shader output '" + r.name + "' is not SV_Target0 to 7");
            c_.set_decoration(r.id, spv::DecorationLocation, s.index);
            c_.set_name(r.id, names_.Take("target" + std::to_string(s.index)));
        }
        return true;
    }

    bool ToLayoutType(uint32_t typeId, bool rowMajor, LayoutType& out, const std::string& what) {
        const SPIRType* type = &c_.get_type(typeId);
        while (!type->array.empty()) {
            if (!type->array_size_literal.back() || type->array.back() == 0)
                return Fail("'" + what + "' needs an array size known when compiling");
            out.arrayDims.push_back(type->array.back());
            type = &c_.get_type(type->parent_type);
        }
        if (type->basetype == SPIRType::Struct) {
            for (uint32_t i = 0; i < type->member_types.size(); ++i) {
                LayoutMember m;
                m.name = c_.get_member_name(type->self, i);
                if (!ToLayoutType(type->member_types[i], c_.has_member_decoration(type->self, i, spv::DecorationRowMajor),
                                  m.type, m.name))
                    return false;
                out.members.push_back(std::move(m));
            }
            if (out.members.empty()) return Fail("'" + what + "' is an empty struct");
            return true;
        }
        const bool number = type->basetype == SPIRType::Float || type->basetype == SPIRType::Int ||
                            type->basetype == SPIRType::UInt || type->basetype == SPIRType::Boolean;
        if (!number || type->width != 32) return Fail("'" + what + "' must hold 32-bit values in a constant buffer");
        if (type->columns > 1) {
            out.matrix = true;
            out.vectorCount = rowMajor ? type->vecsize : type->columns;
            out.vectorSize = rowMajor ? type->columns : type->vecsize;
        } else {
            out.vectorSize = type->vecsize;
        }
        return true;
    }

    void ApplyStd140(uint32_t structId, const std::vector<LayoutMember>& members,
                     const std::vector<MemberPlacement>& placed) {
        const SPIRType& type = c_.get_type(structId);
        for (uint32_t i = 0; i < members.size(); ++i) {
            const MemberPlacement& p = placed[i];
            c_.set_member_decoration(structId, i, spv::DecorationOffset, p.glOffset);
            uint32_t id = type.member_types[i];
            for (uint32_t stride : p.glArrayStrides) {
                c_.set_decoration(id, spv::DecorationArrayStride, stride);
                id = c_.get_type(id).parent_type;
            }
            if (members[i].type.matrix) c_.set_member_decoration(structId, i, spv::DecorationMatrixStride, 16);
            if (members[i].type.IsStruct()) ApplyStd140(c_.get_type(id).self, members[i].type.members, p.members);
        }
    }

    bool Block(const spirv_cross::Resource& r, CompiledShader& out) {
        const uint32_t typeId = r.base_type_id;
        const SPIRType& type = c_.get_type(typeId);
        const std::string hlslName = c_.get_name(typeId);
        LayoutType block;
        if (!ToLayoutType(typeId, false, block, hlslName)) return false;
        const auto fixed = offsets_.find(hlslName);
        if (fixed != offsets_.end()) {
            for (LayoutMember& m : block.members) {
                const auto at = fixed->second.find(m.name);
                if (at != fixed->second.end()) m.explicitOffset = at->second;
            }
        }
        BlockLayout layout;
        std::string error;
        if (!LayOutBlock(block.members, layout, error)) return Fail("cbuffer '" + hlslName + "': " + error, hlslName);
        ApplyStd140(type.self, block.members, layout.members);

        const uint32_t binding = c_.get_decoration(r.id, spv::DecorationBinding);
        if (binding < kBlockBindingBase) return Fail("cbuffer '" + hlslName + "' has no b register");
        ConstantBlock b;
        b.name = hlslName == "$Global" ? "$Globals" : hlslName;
        b.glslBlockName = names_.Take(prefix_ + Sanitize(hlslName));
        b.slot = binding - kBlockBindingBase;
        b.d3dSize = layout.d3dSize;
        b.glSize = layout.glSize;
        b.repack = std::move(layout.repack);
        c_.set_name(typeId, b.glslBlockName);
        c_.set_name(r.id, names_.Take(b.glslBlockName + "_data"));
        c_.unset_decoration(r.id, spv::DecorationBinding);
        c_.unset_decoration(r.id, spv::DecorationDescriptorSet);
        out.blocks.push_back(std::move(b));
        return true;
    }

    bool Samplers(CompiledShader& out) {
        // Load() reads a texture with no sampler: SPIRV-Cross pairs it with a stand-in.
        const spirv_cross::VariableID dummy = c_.build_dummy_sampler_for_combined_images();
        c_.build_combined_image_samplers();
        for (const spirv_cross::CombinedImageSampler& pair : c_.get_combined_image_samplers()) {
            const SPIRType& image = c_.get_type(c_.get_type_from_variable(pair.image_id).self);
            SamplerBinding s;
            const std::string imageName = c_.get_name(pair.image_id);
            if (!c_.get_type_from_variable(pair.image_id).array.empty())
                return Fail("arrays of textures are not supported", imageName);
            if (image.image.arrayed || image.image.ms)
                return Fail("texture arrays and multisampled textures are not supported", imageName);
            if (image.image.dim == spv::Dim2D) s.dimension = TextureDimension::Texture2D;
            else if (image.image.dim == spv::DimCube) s.dimension = TextureDimension::TextureCube;
            else return Fail("'" + imageName + "': only Texture2D and TextureCube are supported", imageName);
            s.textureSlot = c_.get_decoration(pair.image_id, spv::DecorationBinding) - kTextureBindingBase;
            const bool load = dummy != 0 && pair.sampler_id == dummy;
            if (!load) {
                const uint32_t binding = c_.get_decoration(pair.sampler_id, spv::DecorationBinding);
                if (binding < kSamplerBindingBase || binding >= kBlockBindingBase)
                    return Fail("sampler '" + c_.get_name(pair.sampler_id) + "' has no s register");
                s.samplerSlot = binding - kSamplerBindingBase;
            }
            if (s.textureSlot >= kSamplerBindingBase) return Fail("texture '" + c_.get_name(pair.image_id) + "' has no t register");
            std::string name = prefix_ + "t" + std::to_string(s.textureSlot);
            if (!load) name += "_s" + std::to_string(s.samplerSlot);
            s.glslName = names_.Take(name);
            c_.set_name(pair.combined_id, s.glslName);
            c_.unset_decoration(pair.combined_id, spv::DecorationBinding);
            c_.unset_decoration(pair.combined_id, spv::DecorationDescriptorSet);
            out.samplers.push_back(std::move(s));
        }
        return true;
    }

    CompilerGLSL c_;
    ShaderStage stage_;
    const ExplicitOffsets& offsets_;
    Diagnostics& diag_;
    std::string prefix_;
    NamePool names_;
};

}  // namespace

bool TranslateToGlsl(const std::vector<uint32_t>& spirv, ShaderStage stage, const ExplicitOffsets& offsets,
                     CompiledShader& out, Diagnostics& diagnostics) {
    try {
        Translator translator(spirv, stage, offsets, diagnostics);
        return translator.Run(out);
    } catch (const spirv_cross::CompilerError& e) {
        diagnostics.Error("X3000", std::string("translating to GLSL failed: ") + e.what());
        return false;
    }
}

}  // namespace quarvel::hlsl
