#include "shell/settings.h"

#include <glib.h>

Settings settings_from_table(const std::optional<KeyTable>& table, const std::string& home) {
    Settings s;
#define ORVANE_S(name, def) s.name = get_string_setting(table, #name, std::string(def));
#define ORVANE_I(name, def) s.name = get_int_setting(table, #name, def);
    ORVANE_SETTINGS(ORVANE_S, ORVANE_I)
#undef ORVANE_S
#undef ORVANE_I
    return s;
}

namespace {
Settings& current() {
    static Settings s = [] {
        const char* home = g_getenv("HOME");
        return settings_from_table(std::nullopt, home ? home : g_get_home_dir());
    }();
    return s;
}
} // namespace

const Settings& settings() { return current(); }

void settings_replace(Settings next) { current() = std::move(next); }

Lines settings_write_lines(const Settings& s) {
    Lines out;
    // Collected in the dialog's order, each line put in front. The movie player and
    // other-browser fields are stored under the keys the load reads, so they survive
    // a restart. The two charset rows have no field and give no line.
    for (auto [key, value] : {
             std::pair<const char*, const std::string*>{"fmt_color_function", &s.fmt_color_function},
             {"def_save_dir", &s.def_save_dir},
             {"def_open_dir", &s.def_open_dir},
             {"cm_mplayer", &s.cm_mplayer},
             {"mozilla", &s.mozilla},
             {"konqueror", &s.konqueror},
             {"firefox", &s.firefox},
             {"opera", &s.opera},
             {"links", &s.links},
             {"elinks", &s.elinks},
             {"dillo", &s.dillo},
             {"galeon", &s.galeon},
             {"epiphany", &s.epiphany},
             {"other_browser", &s.other_browser},
             {"lynx", &s.lynx},
             {"def_doc_browser", &s.def_doc_browser},
             {"date_time", &s.date_time},
             {"tag_color_lm_error_fg", &s.tag_color_lm_error_fg},
             {"tag_color_lm_error_bg", &s.tag_color_lm_error_bg},
             {"tag_spellcheck", &s.tag_spellcheck},
             {"text_foreground", &s.text_foreground},
             {"text_background", &s.text_background},
             {"text_sel_foreground", &s.text_sel_foreground},
             {"text_sel_background", &s.text_sel_background},
             {"rtf_enc", &s.rtf_enc},
             {"tag_comment_font", &s.tag_comment_font},
             {"tag_identifier_font", &s.tag_identifier_font},
             {"tag_digit_font", &s.tag_digit_font},
             {"tag_string_font", &s.tag_string_font},
             {"tag_html_tag_font", &s.tag_html_tag_font},
             {"tag_preprocessor_font", &s.tag_preprocessor_font},
             {"tag_type_font", &s.tag_type_font},
             {"editor_font", &s.editor_font},
             {"ext_pic_editor", &s.ext_pic_editor},
             {"ext_pic_viewer", &s.ext_pic_viewer},
         })
        // One line per key whatever a value holds: a line feed would start a key of its own.
        lines_prepend_str(out, key, std::string_view(*value).substr(0, value->find('\n')));
    for (auto [key, value] : {
             std::pair<const char*, long>{"prompt_on_not_saved", s.prompt_on_not_saved},
             {"prompt_on_file_exists", s.prompt_on_file_exists},
             {"warn_about_aliens", s.warn_about_aliens},
             {"do_det_scripts_by_content", s.do_det_scripts_by_content},
             {"do_show_main_toolbar", s.do_show_main_toolbar},
             {"xhtml_mode", s.xhtml_mode},
             {"use_snippets", s.use_snippets},
             {"use_ext_image_viewer", s.use_ext_image_viewer},
             {"do_hl_on_fileopen", s.do_hl_on_fileopen},
             {"do_backup", s.do_backup},
             {"start_with_blank_file", s.start_with_blank_file},
             {"start_with_recent_file", s.start_with_recent_file},
             {"use_def_doc_browser", s.use_def_doc_browser},
             {"show_line_nums", s.show_line_nums},
             {"word_wrap", s.word_wrap},
             {"use_def_save_dir", s.use_def_save_dir},
             {"use_def_open_dir", s.use_def_open_dir},
             {"use_auto_indent", s.use_auto_indent},
             {"use_infotext", s.use_infotext},
             {"use_spellcheck", s.use_spellcheck},
             {"use_textcompbloc", s.use_textcompbloc},
             {"ins_spaces_on_tab_press", s.ins_spaces_on_tab_press},
             {"scan_for_links_on_doc_open", s.scan_for_links_on_doc_open},
             {"main_wnd_show_full_path", s.main_wnd_show_full_path},
             {"enc_det_cp1251", s.enc_det_cp1251},
             {"enc_det_koi8r", s.enc_det_koi8r},
             {"enc_det_koi8u", s.enc_det_koi8u},
             {"enc_det_866", s.enc_det_866},
             {"enc_det_finnish", s.enc_det_finnish},
             {"enc_det_german", s.enc_det_german},
             {"enc_det_serbian", s.enc_det_serbian},
             {"enc_det_latvian", s.enc_det_latvian},
             {"enc_det_polish", s.enc_det_polish},
             {"enc_det_portuguese", s.enc_det_portuguese},
             {"enc_det_slovak", s.enc_det_slovak},
             {"enc_det_slovenian", s.enc_det_slovenian},
             {"enc_det_spanish", s.enc_det_spanish},
             {"enc_det_turkish", s.enc_det_turkish},
             {"show_hidden_files", s.show_hidden_files},
             {"do_autorep", s.do_autorep},
         })
        lines_prepend_bool(out, key, value != 0);
    for (auto [key, value] : {
             std::pair<const char*, long>{"famous_history_max", s.famous_history_max},
             {"max_recent_items", s.max_recent_items},
             {"thumb_width", s.thumb_width},
             {"thumb_height", s.thumb_height},
             {"tab_size", s.tab_size},
         })
        lines_prepend_int(out, key, value);
    return out;
}

std::string* settings_string(Settings& s, std::string_view key) {
#define ORVANE_S(name, def)                                                                        \
    if (key == #name) return &s.name;
#define ORVANE_I(name, def)
    ORVANE_SETTINGS(ORVANE_S, ORVANE_I)
#undef ORVANE_S
#undef ORVANE_I
    return nullptr;
}

long* settings_integer(Settings& s, std::string_view key) {
#define ORVANE_S(name, def)
#define ORVANE_I(name, def)                                                                        \
    if (key == #name) return &s.name;
    ORVANE_SETTINGS(ORVANE_S, ORVANE_I)
#undef ORVANE_S
#undef ORVANE_I
    return nullptr;
}
