// The settings of orvane_rc: one record, rebuilt wholesale by every configuration load.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shell/key_file.h"
#include "shell/lines.h"

// Every key in the order the configuration load reads it: S(name, default) for
// strings, I(name, default) for integers and booleans. A default may use `home`
// and the values read before it (`s.`).
#define ORVANE_SETTINGS(S, I)                                                                      \
    S(def_save_dir, home + "/")                                                                    \
    S(def_open_dir, home + "/")                                                                    \
    S(editor_font, "Monospace 9")                                                                  \
    S(ext_pic_editor, "gimp-remote-2.0 -n %s&")                                                    \
    S(ext_pic_viewer, "display %s&")                                                               \
    S(date_time, "%d/%m/%Y %T")                                                                    \
    I(max_recent_items, 7)                                                                         \
    I(famous_history_max, 7)                                                                       \
    I(saveopen_h, 75)                                                                              \
    I(saveopen_w, 75)                                                                              \
    I(prompt_on_not_saved, 1)                                                                      \
    I(prompt_on_file_exists, 0)                                                                    \
    I(warn_about_aliens, 0)                                                                        \
    I(xhtml_mode, 0)                                                                               \
    I(start_with_blank_file, 0)                                                                    \
    I(start_with_recent_file, 0)                                                                   \
    I(show_line_nums, 0)                                                                           \
    I(word_wrap, 1)                                                                                \
    I(tab_size, 3)                                                                                 \
    I(autocomp_wordlen_min, 3)                                                                     \
    I(autocomp_list_items_max, 499)                                                                \
    S(fmt_color_function, "<span style=\"color:@color;\">@text</span>")                            \
    S(text_foreground, "black")                                                                    \
    S(text_background, "white")                                                                    \
    S(text_sel_foreground, "white")                                                                \
    S(text_sel_background, "black")                                                                \
    S(tag_color_lm_error_fg, "red")                                                                \
    S(tag_color_lm_error_bg, s.text_background)                                                    \
    S(tag_comment, "#605454")                                                                      \
    S(tag_identifier, "black")                                                                     \
    S(tag_digit, "navy")                                                                           \
    S(tag_string, "navy")                                                                          \
    S(tag_html_tag, "black")                                                                       \
    S(tag_preprocessor, "#b522a6")                                                                 \
    S(tag_type, "#3650bd")                                                                         \
    S(tag_spellcheck, "red")                                                                       \
    S(tag_comment_font, "Monospace Italic 9")                                                      \
    S(tag_identifier_font, "Monospace Bold 9")                                                     \
    S(tag_digit_font, s.editor_font)                                                               \
    S(tag_string_font, s.editor_font)                                                              \
    S(tag_html_tag_font, "Monospace Bold 9")                                                       \
    S(tag_preprocessor_font, s.editor_font)                                                        \
    S(tag_type_font, s.editor_font)                                                                \
    S(cm_mplayer, "mplayer \"@movie_file\" -subcp @encoding -ss @time -sub \"@sub_file\" &")       \
    S(opera, "opera -remote 'openURL(%s,new-window)' || opera %s&")                                \
    S(firefox, "firefox %s&")                                                                      \
    S(mozilla, "mozilla -remote 'openURL(%s, new-window)' || mozilla %s&")                         \
    S(konqueror, "konqueror %s&")                                                                  \
    S(galeon, "galeon -x %s&")                                                                     \
    S(dillo, "dillo %s&")                                                                          \
    S(links, "konsole -e links %s&")                                                               \
    S(elinks, "konsole -e elinks %s&")                                                             \
    S(lynx, "konsole -e lynx %s&")                                                                 \
    S(epiphany, "epiphany %s&")                                                                    \
    S(other_browser, "%s&")                                                                        \
    S(def_doc_browser, "mozilla %s&")                                                              \
    I(use_def_doc_browser, 0)                                                                      \
    I(thumb_width, 180)                                                                            \
    I(thumb_height, 180)                                                                           \
    I(use_auto_indent, 0)                                                                          \
    I(use_infotext, 1)                                                                             \
    I(use_spellcheck, 1)                                                                           \
    I(use_textcompbloc, 1)                                                                         \
    I(do_autorep, 0)                                                                               \
    I(do_show_main_toolbar, 1)                                                                     \
    S(rtf_enc, "CP1251")                                                                           \
    S(def_filesave_charset, "UTF-8")                                                               \
    S(default_charset, "UTF-8")                                                                    \
    I(main_wnd_show_full_path, 1)                                                                  \
    I(do_backup, 0)                                                                                \
    I(do_hl_on_fileopen, 1)                                                                        \
    I(show_hidden_files, 1)                                                                        \
    I(ins_spaces_on_tab_press, 0)                                                                  \
    I(use_snippets, 1)                                                                             \
    I(use_autocomp, 0)                                                                             \
    I(use_def_save_dir, 1)                                                                         \
    I(use_def_open_dir, 1)                                                                         \
    I(use_ext_image_viewer, 0)                                                                     \
    I(do_det_scripts_by_content, 0)                                                                \
    I(enc_det_cp1251, 0)                                                                           \
    I(enc_det_koi8r, 0)                                                                            \
    I(enc_det_koi8u, 0)                                                                            \
    I(enc_det_866, 0)                                                                              \
    I(enc_det_finnish, 0)                                                                          \
    I(enc_det_german, 0)                                                                           \
    I(enc_det_serbian, 0)                                                                          \
    I(enc_det_latvian, 0)                                                                          \
    I(enc_det_polish, 0)                                                                           \
    I(enc_det_portuguese, 0)                                                                       \
    I(enc_det_slovak, 0)                                                                           \
    I(enc_det_slovenian, 0)                                                                        \
    I(enc_det_spanish, 0)                                                                          \
    I(enc_det_turkish, 0)                                                                          \
    I(scan_for_links_on_doc_open, 0)                                                               \
    I(logmemo_lines_max, 13)

struct Settings {
#define ORVANE_S(name, def) std::string name;
#define ORVANE_I(name, def) long name = 0;
    ORVANE_SETTINGS(ORVANE_S, ORVANE_I)
#undef ORVANE_S
#undef ORVANE_I
};

// Reads every key from the table (none: every default) in table order.
Settings settings_from_table(const std::optional<KeyTable>& table, const std::string& home);

// The program-wide settings: replaced wholesale by each configuration load.
const Settings& settings();
void settings_replace(Settings next);

// The lines the preferences write to orvane_rc, in file order (the reverse of
// the order in which they are collected: tab_size first, fmt_color_function last).
Lines settings_write_lines(const Settings& s);

// A setting found by its key, for code that handles settings as data: the
// string member, or the integer one; null when `key` names no setting of that type.
std::string* settings_string(Settings& s, std::string_view key);
long* settings_integer(Settings& s, std::string_view key);
