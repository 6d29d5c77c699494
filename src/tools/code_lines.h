// The line rules the symbol list and the documentation generator share: how a
// file splits into lines, where a line's code starts, and which first words
// make a line an include, a declaration or a control line.
#pragma once

#include <cstddef>
#include <cstring>
#include <optional>
#include <string_view>

namespace code_lines {

// Longest text a row or a title carries, and how far into a line's code the
// keyword and form-variable rules look: minified files hold lines of megabytes,
// and nothing past this point can start a capture.
inline constexpr std::size_t kTextLimit = 999;

inline bool is_alnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}
inline bool is_word(char c) {
    return is_alnum(c) || c == '_';
}

// Calls f(line, number) for every line of `text` without its line end. LF, CR
// and CR LF each end one line, so the three kinds of file number their lines
// alike; a last line without a line end is a line too.
template <class F> void for_each_line(std::string_view text, F&& f) {
    if (text.empty()) return;
    const char* p = text.data();
    const char* const end = p + text.size();
    // Files without CR, by far the most common, go with one memchr per line.
    const char* next_cr = static_cast<const char*>(std::memchr(p, '\r', text.size()));
    int number = 1;
    while (p < end) {
        if (next_cr && next_cr < p)
            next_cr = static_cast<const char*>(std::memchr(p, '\r', end - p));
        const char* lf =
            static_cast<const char*>(std::memchr(p, '\n', (next_cr ? next_cr : end) - p));
        const char* e = lf ? lf : next_cr ? next_cr : end;
        f(std::string_view(p, e - p), number);
        if (e == end) break;
        if (*e == '\r' && e + 1 < end && e[1] == '\n') ++e;
        p = e + 1;
        ++number;
    }
}

// Where the line's code starts: its first ASCII letter or digit (npos if none).
std::size_t code_start(std::string_view line);

// `text` cut to at most `max` bytes, never inside a UTF-8 sequence.
std::string_view cut_utf8(std::string_view text, std::size_t max = kTextLimit);

// The extension of the path's base name, from its last '.' ("" without one):
// "/a.d/x" has none, "/a/x.html" has ".html".
std::string_view base_name_extension(std::string_view path);

// Keywords are whole words at the start of a line's code (which starts with a
// letter or digit): "subtotal" is not "sub". A keyword must be followed by
// another byte of the line, which is where the decision is taken.
enum class Keyword { none, include, function, sub, use, instruction };

struct KeywordMatch {
    Keyword keyword = Keyword::none;
    std::size_t end = 0; // offset in the code just past the keyword
};

// include/include_once/require/require_once, function (after any of the PHP
// and JavaScript modifiers public, protected, private, static, abstract, final,
// async, export, default), sub, use, and the instruction words if, while,
// unless, foreach, exit. `before` is the byte before the code (0 at line
// start): a "$" there makes the word a variable name, never a keyword.
KeywordMatch match_keyword(std::string_view code, char before);

// True when `code` uses $_GET, $_POST or $_REQUEST: the name after a "_" (or
// at the start of the code) as a whole word, followed by another byte.
bool has_form_variable(std::string_view code);

// Lines that open a block under a condition rather than end a statement:
// if, elseif, else if, elsif, while, for, foreach, switch, catch, until,
// unless, case.
bool is_control_line(std::string_view code);

// The text between the first and second '"' of `text` (to the end when there is
// only one); none without a '"'.
std::optional<std::string_view> first_quoted(std::string_view text);

} // namespace code_lines
