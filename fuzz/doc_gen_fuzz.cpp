// The documentation page from arbitrary bytes (the first byte picks the file
// type): the frame is always whole, no markup comes from the file (one heading
// per table entry), each part stays within its limit, and UTF-8 stays UTF-8.
#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tools/doc_gen.h"

namespace {
std::size_t count(const std::string& s, std::string_view what) {
    std::size_t n = 0;
    for (auto pos = s.find(what); pos != std::string::npos; pos = s.find(what, pos + 1))
        ++n;
    return n;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const char* const paths[] = {"/d/t.php", "/d/t.pl", "/d/t.sh",
                                        "/d/t.c",   "/d/t.js", "/d/noext"};
    const char* path = paths[data[0] % (sizeof paths / sizeof *paths)];
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

    const auto doc = generate_documentation(text, path);
    const std::string& html = doc.html;
    if (!html.starts_with("<!DOCTYPE HTML PUBLIC") || !html.ends_with("</body>\n</html>\n"))
        __builtin_trap();
    if (count(html, "<li") != count(html, "<h1") ||
        count(html, "<a name=") != count(html, "<h1") + 1)
        __builtin_trap();
    if (html.size() > 2 * kDocGenPartLimit + 4096) __builtin_trap();
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr) &&
        !g_utf8_validate(html.data(), static_cast<gssize>(html.size()), nullptr))
        __builtin_trap();
    if (doc.log_lines.size() > 1) __builtin_trap();
    return 0;
}
