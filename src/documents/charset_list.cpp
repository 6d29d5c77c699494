#include "documents/charset_list.h"

#include <glib.h>

#include "shell/commands.h"

namespace {
struct CharsetState {
    Lines open, save;
    std::optional<std::string> pending;
};
CharsetState& state() {
    static CharsetState s;
    return s;
}
} // namespace

void charset_lists_rebuild(const std::string& iconv_rc_path) {
    if (!g_file_test(iconv_rc_path.c_str(), G_FILE_TEST_EXISTS))
        run_shell_sync("iconv -l > " + shell_quote(iconv_rc_path));
    if (auto text = file_read_all(iconv_rc_path)) {
        Lines marked = text_to_marked_items(*text, "//");
        auto& s = state();
        s.save = {"UTF-8", "current locale"};
        s.save.insert(s.save.end(), marked.begin(), marked.end());
        s.open = {"autodetect", "Japanese autodetect"};
        s.open.insert(s.open.end(), s.save.begin(), s.save.end());
    }
    state().pending = "UTF-8";
}

const Lines& open_charsets() { return state().open; }
const Lines& save_charsets() { return state().save; }
const std::optional<std::string>& pending_open_charset() { return state().pending; }
void set_pending_open_charset(std::optional<std::string> c) { state().pending = std::move(c); }
