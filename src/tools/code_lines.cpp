#include "tools/code_lines.h"

#include <array>

namespace code_lines {

namespace {
bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// The word at `pos`: letters, digits and underscores.
std::string_view word_at(std::string_view code, std::size_t pos) {
    std::size_t end = pos;
    while (end < code.size() && is_word(code[end]))
        ++end;
    return code.substr(pos, end - pos);
}

std::size_t skip_blanks(std::string_view code, std::size_t pos) {
    while (pos < code.size() && is_blank(code[pos]))
        ++pos;
    return pos;
}

template <std::size_t N>
bool is_one_of(std::string_view word, const std::array<std::string_view, N>& words) {
    for (auto w : words)
        if (word == w) return true;
    return false;
}

constexpr std::array<std::string_view, 9> kModifiers = {
    "public", "protected", "private", "static", "abstract", "final", "async", "export", "default"};
constexpr std::array<std::string_view, 4> kIncludes = {"include", "include_once", "require",
                                                       "require_once"};
constexpr std::array<std::string_view, 5> kInstructions = {"if", "while", "unless", "foreach",
                                                           "exit"};
constexpr std::array<std::string_view, 11> kControls = {"if",    "elseif",  "elsif",  "while",
                                                        "for",   "foreach", "switch", "catch",
                                                        "until", "unless",  "case"};
constexpr std::array<std::string_view, 3> kFormVariables = {"GET", "POST", "REQUEST"};
} // namespace

std::size_t code_start(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i)
        if (is_alnum(line[i])) return i;
    return std::string_view::npos;
}

std::string_view cut_utf8(std::string_view text, std::size_t max) {
    if (text.size() <= max) return text;
    std::size_t n = max;
    // Step back over continuation bytes to the start of the cut sequence.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return text.substr(0, n);
}

std::string_view base_name_extension(std::string_view path) {
    auto slash = path.rfind('/');
    auto base = slash == std::string_view::npos ? path : path.substr(slash + 1);
    auto dot = base.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : base.substr(dot);
}

KeywordMatch match_keyword(std::string_view code, char before) {
    if (before == '$' || before == '_') return {};
    auto first = word_at(code, 0);
    // The decision is taken at the byte after the word; a word that ends the
    // line decides nothing.
    auto followed = [&](std::size_t end) { return end < code.size(); };
    Keyword k = Keyword::none;
    if (is_one_of(first, kIncludes))
        k = Keyword::include;
    else if (first == "function")
        k = Keyword::function;
    else if (first == "sub")
        k = Keyword::sub;
    else if (first == "use")
        k = Keyword::use;
    else if (is_one_of(first, kInstructions))
        k = Keyword::instruction;
    if (k != Keyword::none)
        return followed(first.size()) ? KeywordMatch{k, first.size()} : KeywordMatch{};

    std::size_t pos = 0;
    auto word = first;
    while (is_one_of(word, kModifiers)) {
        std::size_t next = skip_blanks(code, pos + word.size());
        if (next == pos + word.size()) return {};
        pos = next;
        word = word_at(code, pos);
        if (word == "function")
            return followed(pos + word.size()) ? KeywordMatch{Keyword::function, pos + word.size()}
                                               : KeywordMatch{};
    }
    return {};
}

bool has_form_variable(std::string_view code) {
    auto is_form_word = [&](std::size_t pos) {
        auto word = word_at(code, pos);
        for (auto name : kFormVariables)
            if (word == name) return pos + word.size() < code.size();
        return false;
    };
    if (is_form_word(0)) return true;
    for (std::size_t pos = code.find('_'); pos != std::string_view::npos;
         pos = code.find('_', pos + 1))
        if (pos + 1 < code.size() &&
            (code[pos + 1] == 'G' || code[pos + 1] == 'P' || code[pos + 1] == 'R') &&
            is_form_word(pos + 1))
            return true;
    return false;
}

bool is_control_line(std::string_view code) {
    auto first = word_at(code, 0);
    if (is_one_of(first, kControls)) return true;
    if (first != "else") return false;
    return word_at(code, skip_blanks(code, first.size())) == "if";
}

std::optional<std::string_view> first_quoted(std::string_view text) {
    auto open = text.find('"');
    if (open == std::string_view::npos) return std::nullopt;
    auto rest = text.substr(open + 1);
    return rest.substr(0, rest.find('"'));
}

} // namespace code_lines
