#include "documents/word_files.h"

#include <glib.h>
#include <memory>

namespace {
struct GFree {
    void operator()(gchar* p) const { g_free(p); }
};
} // namespace

std::string word_file_text(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t nl = bytes.find('\n', pos);
        std::size_t end = nl == std::string_view::npos ? bytes.size() : nl + 1;
        std::string_view line = bytes.substr(pos, end - pos);
        pos = end;
        gsize written = 0;
        std::unique_ptr<gchar, GFree> utf8(g_locale_to_utf8(
            line.data(), static_cast<gssize>(line.size()), nullptr, &written, nullptr));
        // A NUL inside the line would cut the text the buffer receives.
        if (utf8 && std::string_view(utf8.get(), written).find('\0') == std::string_view::npos)
            out.append(utf8.get(), written);
    }
    return out;
}
