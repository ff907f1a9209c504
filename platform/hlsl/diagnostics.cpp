#include "diagnostics.h"

#include <cctype>
#include <regex>
#include <set>
#include <utility>
#include <vector>

namespace quarvel::hlsl {
namespace {

bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// glslang's wording -> the number Direct3D's compiler gives the same complaint.
std::string CodeFor(std::string_view message) {
    static const std::pair<std::string_view, std::string_view> kCodes[] = {
        {"unknown variable", "X3004"},
        {"undeclared identifier", "X3004"},
        {"no matching overloaded function", "X3013"},
        {"can't convert", "X3017"},
        {"cannot convert", "X3017"},
        {"redefinition", "X3003"},
    };
    for (const auto& [words, code] : kCodes)
        if (message.find(words) != std::string_view::npos) return std::string(code);
    return "X3000";
}

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

}  // namespace

void Diagnostics::Error(const std::string& code, const std::string& message, int line, int column) {
    Add(sourceName_, line, column, true, code, message);
}

void Diagnostics::Warning(const std::string& code, const std::string& message, int line, int column) {
    Add(sourceName_, line, column, false, code, message);
}

void Diagnostics::ErrorAt(const std::string& code, const std::string& message, const std::string& name) {
    const auto it = sources_.find(sourceName_);
    if (it != sources_.end() && !name.empty()) {
        for (int line = 1, start = 0; start < static_cast<int>(it->second.size()); ++line) {
            if (const int column = ColumnOf(sourceName_, line, name)) return Error(code, message, line, column);
            const size_t next = it->second.find('\n', static_cast<size_t>(start));
            if (next == std::string::npos) break;
            start = static_cast<int>(next) + 1;
        }
    }
    Error(code, message);
}

void Diagnostics::Add(const std::string& file, int line, int column, bool error, const std::string& code,
                      const std::string& message) {
    // One message a line: tools' multi-line reports become several messages. A message
    // with no text still counts, so a failure never comes back without one.
    const std::string text = message.find_first_not_of(" \t\r\n") == std::string::npos ? "unspecified problem" : message;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string part = Trim(std::string_view(text).substr(start, end - start));
        start = end + 1;
        if (part.empty()) continue;
        text_ += file + "(" + std::to_string(line) + "," + std::to_string(column) + "): " +
                 (error ? "error " : "warning ") + code + ": " + part + "\n";
        (error ? errors_ : warnings_)++;
    }
}

int Diagnostics::ColumnOf(const std::string& file, int line, std::string_view token) const {
    if (token.empty()) return 0;
    const auto it = sources_.find(file);
    if (it == sources_.end()) return 0;
    const std::string& text = it->second;
    size_t start = 0;
    for (int l = 1; l < line; ++l) {
        start = text.find('\n', start);
        if (start == std::string::npos) return 0;
        ++start;
    }
    const size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view row(text.data() + start, end - start);
    const bool word = IsIdentChar(token.front());
    for (size_t at = row.find(token); at != std::string_view::npos; at = row.find(token, at + 1)) {
        const bool left = at == 0 || !word || !IsIdentChar(row[at - 1]);
        const bool right = at + token.size() >= row.size() || !word || !IsIdentChar(row[at + token.size()]);
        if (left && right) return static_cast<int>(at) + 1;
    }
    return 0;
}

void Diagnostics::AddGlslangLog(std::string_view log) {
    static const std::regex kLocated(R"(^(ERROR|WARNING): (.*?):(-?\d+): (.*)$)");
    static const std::regex kParseStop(R"(^(.*)\((\d+)\): error at column (\d+), HLSL parsing failed\.$)");
    static const std::regex kPlain(R"(^(ERROR|WARNING|INTERNAL ERROR|UNIMPLEMENTED): (.*)$)");
    static const std::regex kSummary(R"(^ERROR: \d+ compilation errors?\..*$)");
    static const std::regex kQuoted(R"(^'([^']*)' : (.*)$)");

    struct Entry {
        bool error;
        std::string file;
        int line;
        std::string token;
        std::string message;
    };
    std::vector<Entry> entries;
    std::map<std::pair<std::string, int>, int> stops;  // where the parser gave up, per line
    std::set<std::pair<std::string, int>> linesWithErrors;

    const auto fileName = [&](const std::string& name) {
        // The preamble (our macro definitions) and unnamed strings come out as numbers.
        const bool numeric = !name.empty() && name.find_first_not_of("-0123456789") == std::string::npos;
        return numeric ? sourceName_ : name;
    };

    size_t pos = 0;
    while (pos < log.size()) {
        size_t nl = log.find('\n', pos);
        if (nl == std::string_view::npos) nl = log.size();
        const std::string line = Trim(log.substr(pos, nl - pos));
        pos = nl + 1;
        if (line.empty()) continue;
        std::smatch m;
        if (std::regex_match(line, m, kSummary)) continue;
        if (std::regex_match(line, m, kParseStop)) {
            stops[{fileName(m[1]), std::stoi(m[2])}] = std::stoi(m[3]);
            entries.push_back({true, fileName(m[1]), std::stoi(m[2]), "", "syntax error: HLSL parsing failed"});
            continue;
        }
        if (std::regex_match(line, m, kLocated)) {
            Entry e{m[1] == "ERROR", fileName(m[2]), std::max(1, std::stoi(m[3])), "", Trim(m[4].str())};
            std::smatch q;
            if (std::regex_match(e.message, q, kQuoted)) {
                e.token = q[1];
                const std::string text = Trim(q[2].str());
                e.message = e.token.empty() ? text : "'" + e.token + "': " + text;
            }
            if (e.error) linesWithErrors.insert({e.file, e.line});
            entries.push_back(std::move(e));
            continue;
        }
        if (std::regex_match(line, m, kPlain)) {
            entries.push_back({m[1] != "WARNING", sourceName_, 1, "", Trim(m[2].str())});
            continue;
        }
        entries.push_back({false, sourceName_, 1, "", line});
    }

    std::set<std::pair<std::string, int>> linesWithSyntaxError;
    for (const Entry& e : entries) {
        const std::pair<std::string, int> where{e.file, e.line};
        const auto stop = stops.find(where);
        // The parser's own summary of a line adds nothing when that line already has errors.
        if (e.message == "syntax error: HLSL parsing failed" && linesWithErrors.count(where)) continue;
        // glslang follows a syntax error with a cascade of "'x' : Expected", quoting what it
        // wanted rather than what it found: keep the first, where the parser stopped.
        const bool expected = e.message.size() > 8 && e.message.compare(e.message.size() - 8, 8, "Expected") == 0;
        if (expected) {
            if (!linesWithSyntaxError.insert(where).second) continue;
            const int column = stop != stops.end() ? stop->second : 1;
            Add(e.file, e.line, column, e.error, "X3000",
                e.token.empty() ? "syntax error" : "syntax error: expected '" + e.token + "'");
            continue;
        }
        int column = ColumnOf(e.file, e.line, e.token);
        if (column == 0) column = stop != stops.end() ? stop->second : 1;
        Add(e.file, e.line, column, e.error, CodeFor(e.message), e.message);
    }
}

}  // namespace quarvel::hlsl
