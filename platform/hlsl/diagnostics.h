// Compiler messages in the form Direct3D's compiler writes them, so tools and people that
// read "file(line,col): error X3000: ..." read ours the same way.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace quarvel::hlsl {

class Diagnostics {
public:
    // `sourceName` starts every message that has no file of its own.
    explicit Diagnostics(std::string sourceName) : sourceName_(std::move(sourceName)) {}

    // Registers the text of a source string so messages about it can point at a column.
    void AddSource(const std::string& name, std::string_view text) { sources_[name] = std::string(text); }

    void Error(const std::string& code, const std::string& message, int line = 1, int column = 1);
    void Warning(const std::string& code, const std::string& message, int line = 1, int column = 1);
    // An error about a named thing, placed where that name first appears in the source
    // (what the later steps know of a shader carries names but no source positions).
    void ErrorAt(const std::string& code, const std::string& message, const std::string& name);

    // Rewrites glslang's info log ("ERROR: name:line: 'token' : text") into our form.
    // glslang reports lines only; the column is where the quoted token first appears on that
    // line, or where the HLSL parser said it stopped, or 1.
    void AddGlslangLog(std::string_view log);

    bool HasErrors() const { return errors_ > 0; }
    bool HasWarnings() const { return warnings_ > 0; }
    const std::string& Text() const { return text_; }
    const std::string& SourceName() const { return sourceName_; }

private:
    void Add(const std::string& file, int line, int column, bool error, const std::string& code,
             const std::string& message);
    int ColumnOf(const std::string& file, int line, std::string_view token) const;

    std::string sourceName_;
    std::map<std::string, std::string> sources_;
    std::string text_;
    int errors_ = 0;
    int warnings_ = 0;
};

}  // namespace quarvel::hlsl
