#include "explicit_offsets.h"

#include <cctype>
#include <optional>
#include <vector>

namespace quarvel::hlsl {
namespace {

struct Token {
    std::string_view text;
    bool identifier = false;
};

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::vector<Token> Tokenize(std::string_view s) {
    std::vector<Token> out;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (s.compare(i, 2, "//") == 0 || c == '#') {
            // Comments, and directives the preprocessor left (#line, #pragma).
            while (i < s.size() && s[i] != '\n') ++i;
        } else if (s.compare(i, 2, "/*") == 0) {
            const size_t end = s.find("*/", i + 2);
            i = end == std::string_view::npos ? s.size() : end + 2;
        } else if (c == '"') {
            size_t j = i + 1;
            while (j < s.size() && s[j] != '"') j += s[j] == '\\' ? 2 : 1;
            i = std::min(j + 1, s.size());
        } else if (IsIdentStart(c)) {
            size_t j = i;
            while (j < s.size() && IsIdentChar(s[j])) ++j;
            out.push_back({s.substr(i, j - i), true});
            i = j;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            size_t j = i;
            while (j < s.size() && (IsIdentChar(s[j]) || s[j] == '.')) ++j;
            out.push_back({s.substr(i, j - i), false});
            i = j;
        } else {
            out.push_back({s.substr(i, 1), false});
            ++i;
        }
    }
    return out;
}

// "c3" with an optional component "y" -> 3 * 16 + 4.
std::optional<uint32_t> RegisterOffset(std::string_view reg, std::string_view component) {
    if (reg.size() < 2 || (reg[0] != 'c' && reg[0] != 'C')) return std::nullopt;
    uint32_t index = 0;
    for (char ch : reg.substr(1)) {
        if (!std::isdigit(static_cast<unsigned char>(ch)) || index > 100000) return std::nullopt;
        index = index * 10 + static_cast<uint32_t>(ch - '0');
    }
    uint32_t offset = index * 16;
    if (!component.empty()) {
        static constexpr std::string_view kComponents = "xyzw";
        const size_t k = component.size() == 1 ? kComponents.find(component[0]) : std::string_view::npos;
        if (k == std::string_view::npos) return std::nullopt;
        offset += static_cast<uint32_t>(k) * 4;
    }
    return offset;
}

bool Is(const std::vector<Token>& t, size_t i, std::string_view text) { return i < t.size() && t[i].text == text; }

}  // namespace

bool MayHaveExplicitOffsets(std::string_view source) {
    if (source.find("packoffset") != std::string_view::npos) return true;
    for (size_t at = source.find("register"); at != std::string_view::npos; at = source.find("register", at + 1)) {
        size_t i = at + 8;
        while (i < source.size() && std::isspace(static_cast<unsigned char>(source[i]))) ++i;
        if (i >= source.size() || source[i] != '(') continue;
        ++i;
        while (i < source.size() && std::isspace(static_cast<unsigned char>(source[i]))) ++i;
        if (i + 1 < source.size() && (source[i] == 'c' || source[i] == 'C') &&
            std::isdigit(static_cast<unsigned char>(source[i + 1])))
            return true;
    }
    return false;
}

ExplicitOffsets ScanExplicitOffsets(std::string_view preprocessedSource) {
    const std::vector<Token> t = Tokenize(preprocessedSource);
    ExplicitOffsets result;
    // The name of the cbuffer whose braces we are directly inside, per brace depth.
    std::vector<std::string> scopes;
    std::string pendingBlock;  // seen "cbuffer NAME", waiting for its "{"
    int parens = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        const std::string_view x = t[i].text;
        if ((x == "cbuffer" || x == "tbuffer") && i + 1 < t.size() && t[i + 1].identifier) {
            pendingBlock = std::string(t[i + 1].text);
        } else if (x == "{") {
            scopes.push_back(pendingBlock);
            pendingBlock.clear();
        } else if (x == "}") {
            if (!scopes.empty()) scopes.pop_back();
        } else if (x == ";") {
            pendingBlock.clear();
        } else if (x == "(") {
            ++parens;
        } else if (x == ")") {
            parens = parens > 0 ? parens - 1 : 0;
        } else if ((x == "packoffset" || x == "register") && i >= 2 && Is(t, i - 1, ":") && Is(t, i + 1, "(") &&
                   i + 2 < t.size() && t[i + 2].identifier) {
            std::string block;
            if (x == "packoffset" && !scopes.empty() && !scopes.back().empty())
                block = scopes.back();
            else if (x == "register" && scopes.empty() && parens == 0)
                block = "$Global";
            else
                continue;
            std::string_view component;
            size_t close = i + 3;
            if (Is(t, close, ".") && close + 1 < t.size() && t[close + 1].identifier) {
                component = t[close + 1].text;
                close += 2;
            }
            if (!Is(t, close, ")")) continue;
            const std::optional<uint32_t> offset = RegisterOffset(t[i + 2].text, component);
            if (!offset) continue;
            // The declared name precedes the ":", after any array dimensions.
            size_t j = i - 2;
            while (j > 0 && t[j].text == "]") {
                while (j > 0 && t[j].text != "[") --j;
                if (j > 0) --j;
            }
            if (t[j].identifier) result[block][std::string(t[j].text)] = *offset;
        }
    }
    return result;
}

}  // namespace quarvel::hlsl
