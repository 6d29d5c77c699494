#include "documents/word_files.h"

#include <glib.h>

#include "shell/gobj.h"

namespace {
// A NUL inside a line would cut the text a buffer receives.
bool has_nul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}
} // namespace

std::string utf8_or_locale_lines(std::string_view bytes, bool keep_unreadable) {
    // g_utf8_validate refuses NUL bytes, so valid text holds none.
    if (g_utf8_validate(bytes.data(), static_cast<gssize>(bytes.size()), nullptr))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t nl = bytes.find('\n', pos);
        std::size_t end = nl == std::string_view::npos ? bytes.size() : nl + 1;
        std::string_view line = bytes.substr(pos, end - pos);
        pos = end;
        if (g_utf8_validate(line.data(), static_cast<gssize>(line.size()), nullptr)) {
            out.append(line);
            continue;
        }
        gsize written = 0;
        GCharPtr utf8(g_locale_to_utf8(line.data(), static_cast<gssize>(line.size()), nullptr,
                                       &written, nullptr));
        if (utf8 && !has_nul(std::string_view(utf8.get(), written))) {
            out.append(utf8.get(), written);
        } else if (keep_unreadable) {
            GCharPtr valid(g_utf8_make_valid(line.data(), static_cast<gssize>(line.size())));
            std::string_view shown(valid.get());
            out.append(shown.substr(0, shown.find('\0')));
        }
    }
    return out;
}

std::string word_file_text(std::string_view bytes) {
    return utf8_or_locale_lines(bytes, false);
}
