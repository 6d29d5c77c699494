// The symbol list from arbitrary bytes (the first byte picks the file type):
// rows and marks stay on existing lines in order, texts are bounded, hold no
// line end and stay UTF-8 when the file is; include names are never empty.
#include <glib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tools/symbol_scan.h"

namespace {
bool is_utf8(std::string_view s) {
    return g_utf8_validate(s.data(), static_cast<gssize>(s.size()), nullptr);
}

int line_count(std::string_view text) {
    int n = 1;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++n;
    return n;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const char* const paths[] = {"/d/t.php", "/d/t.pl", "/d/t.c",  "/d/t.h",
                                        "/d/t.js",  "/d/t.sh", "/d/noext"};
    const char* path = paths[data[0] % (sizeof paths / sizeof *paths)];
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const bool utf8 = is_utf8(text);
    const int lines = line_count(text);

    auto scan = symbol_scan(text, path);
    if (scan.rows.empty() || scan.rows[0].line != 0 || !scan.rows[0].text.empty()) __builtin_trap();
    int previous = 0;
    for (std::size_t i = 1; i < scan.rows.size(); ++i) {
        const auto& row = scan.rows[i];
        if (row.line < std::max(previous, 1) || row.line > lines) __builtin_trap();
        if (row.text.size() > 999) __builtin_trap();
        if (row.text.find_first_of("\r\n") != std::string::npos) __builtin_trap();
        if (utf8 && !is_utf8(row.text)) __builtin_trap();
        previous = row.line;
    }
    previous = 0;
    for (int line : scan.marked_lines) {
        if (line <= previous || line > lines) __builtin_trap();
        previous = line;
    }
    for (const auto& p : include_file_paths(text, path))
        if (p.empty() || p == "/d/") __builtin_trap();
    for (const char* charset : {"UTF-8", "ISO-8859-1", "SHIFT_JIS"})
        if (!is_utf8(scan_text_from_bytes(text, charset))) __builtin_trap();
    return 0;
}
