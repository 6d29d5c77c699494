// The settings of orvane_rc: defaults, derived defaults, and the lines the
// preferences write back.
#include <gtest/gtest.h>

#include <algorithm>

#include "shell/key_file.h"
#include "shell/settings.h"
#include "support/temp_home.h"

namespace {

const std::string kHome = "/home/user name";

TEST(SettingsDefaults, NoTableGivesEveryDefault) {
    Settings s = settings_from_table(std::nullopt, kHome);
    EXPECT_EQ(s.def_save_dir, "/home/user name/");
    EXPECT_EQ(s.def_open_dir, "/home/user name/");
    EXPECT_EQ(s.editor_font, "Monospace 9");
    EXPECT_EQ(s.ext_pic_editor, "gimp-remote-2.0 -n %s&");
    EXPECT_EQ(s.ext_pic_viewer, "display %s&");
    EXPECT_EQ(s.date_time, "%d/%m/%Y %T");
    EXPECT_EQ(s.max_recent_items, 7);
    EXPECT_EQ(s.famous_history_max, 7);
    EXPECT_EQ(s.saveopen_h, 75);
    EXPECT_EQ(s.saveopen_w, 75);
    EXPECT_EQ(s.prompt_on_not_saved, 1);
    EXPECT_EQ(s.word_wrap, 1);
    EXPECT_EQ(s.tab_size, 3);
    EXPECT_EQ(s.autocomp_wordlen_min, 3);
    EXPECT_EQ(s.autocomp_list_items_max, 499);
    EXPECT_EQ(s.fmt_color_function, "<span style=\"color:@color;\">@text</span>");
    EXPECT_EQ(s.text_foreground, "black");
    EXPECT_EQ(s.text_background, "white");
    EXPECT_EQ(s.text_sel_foreground, "white");
    EXPECT_EQ(s.text_sel_background, "black");
    EXPECT_EQ(s.tag_color_lm_error_fg, "red");
    EXPECT_EQ(s.tag_color_lm_error_bg, "white");
    EXPECT_EQ(s.tag_comment, "#605454");
    EXPECT_EQ(s.tag_preprocessor, "#b522a6");
    EXPECT_EQ(s.tag_type, "#3650bd");
    EXPECT_EQ(s.tag_comment_font, "Monospace Italic 9");
    EXPECT_EQ(s.tag_identifier_font, "Monospace Bold 9");
    EXPECT_EQ(s.tag_digit_font, "Monospace 9");
    EXPECT_EQ(s.tag_html_tag_font, "Monospace Bold 9");
    EXPECT_EQ(s.cm_mplayer,
              "mplayer \"@movie_file\" -subcp @encoding -ss @time -sub \"@sub_file\" &");
    EXPECT_EQ(s.opera, "opera -remote 'openURL(%s,new-window)' || opera %s&");
    EXPECT_EQ(s.mozilla, "mozilla -remote 'openURL(%s, new-window)' || mozilla %s&");
    EXPECT_EQ(s.galeon, "galeon -x %s&");
    EXPECT_EQ(s.links, "konsole -e links %s&");
    EXPECT_EQ(s.other_browser, "%s&");
    EXPECT_EQ(s.def_doc_browser, "mozilla %s&");
    EXPECT_EQ(s.thumb_width, 180);
    EXPECT_EQ(s.thumb_height, 180);
    EXPECT_EQ(s.use_infotext, 1);
    EXPECT_EQ(s.do_show_main_toolbar, 1);
    EXPECT_EQ(s.rtf_enc, "CP1251");
    EXPECT_EQ(s.def_filesave_charset, "UTF-8");
    EXPECT_EQ(s.default_charset, "UTF-8");
    EXPECT_EQ(s.main_wnd_show_full_path, 1);
    EXPECT_EQ(s.do_hl_on_fileopen, 1);
    EXPECT_EQ(s.show_hidden_files, 1);
    EXPECT_EQ(s.use_snippets, 1);
    EXPECT_EQ(s.use_def_save_dir, 1);
    EXPECT_EQ(s.use_def_open_dir, 1);
    EXPECT_EQ(s.enc_det_turkish, 0);
    EXPECT_EQ(s.logmemo_lines_max, 13);
}

TEST(SettingsDefaults, DerivedDefaultsFollowTheValuesRead) {
    Settings s = settings_from_table(
        parse_key_text("text_background=#202020\neditor_font=Courier 12\n"), kHome);
    EXPECT_EQ(s.tag_color_lm_error_bg, "#202020");
    EXPECT_EQ(s.tag_digit_font, "Courier 12");
    EXPECT_EQ(s.tag_string_font, "Courier 12");
    EXPECT_EQ(s.tag_preprocessor_font, "Courier 12");
    EXPECT_EQ(s.tag_type_font, "Courier 12");
    EXPECT_EQ(s.tag_comment_font, "Monospace Italic 9");

    Settings own = settings_from_table(
        parse_key_text("text_background=#202020\ntag_color_lm_error_bg=pink\n"), kHome);
    EXPECT_EQ(own.tag_color_lm_error_bg, "pink");
}

TEST(SettingsFromFile, EdgeCasesOfTheRcFile) {
    TempHome home;
    write_file(home.file("rc"),
               "#Fichier de configuration Orvane IDE.\n"
               "tab_size=8\n"
               "date_time=\n"
               "fmt_color_function=<b style=\"c=@color\">@text</b>\n"
               "word_wrap=abc\n"
               "def_save_dir=/srv/www/\r\n"
               "prompt_on_not_saved=0\n"
               "tab_size=4\n");
    Settings s = settings_from_table(load_key_file(home.file("rc")), home.path());
    EXPECT_EQ(s.tab_size, 4);
    EXPECT_EQ(s.date_time, "");
    EXPECT_EQ(s.fmt_color_function, "<b style=\"c=@color\">@text</b>");
    EXPECT_EQ(s.word_wrap, 0);
    // The question about unsaved text is asked unless the user turned it off.
    EXPECT_EQ(s.prompt_on_not_saved, 0);
    EXPECT_EQ(s.def_save_dir, "/srv/www/\r");
    EXPECT_EQ(s.def_open_dir, home.path() + "/");

    write_file(home.file("rc"), "tab_size= 5\n");
    EXPECT_EQ(settings_from_table(load_key_file(home.file("rc")), kHome).tab_size, 5);
    write_file(home.file("rc"), " tab_size=5\n");
    EXPECT_EQ(settings_from_table(load_key_file(home.file("rc")), kHome).tab_size, 3);
    write_file(home.file("rc"), "tab_size=abc\n");
    EXPECT_EQ(settings_from_table(load_key_file(home.file("rc")), kHome).tab_size, 0);
}

// The order in which the preferences collect their values; each line is put in
// front, so the file holds the reverse.
Lines expected_written_lines(const Settings& s) {
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"fmt_color_function", s.fmt_color_function},
        {"def_save_dir", s.def_save_dir},
        {"def_open_dir", s.def_open_dir},
        {"cm_mplayer", s.cm_mplayer},
        {"mozilla", s.mozilla},
        {"konqueror", s.konqueror},
        {"firefox", s.firefox},
        {"opera", s.opera},
        {"links", s.links},
        {"elinks", s.elinks},
        {"dillo", s.dillo},
        {"galeon", s.galeon},
        {"epiphany", s.epiphany},
        {"other_browser", s.other_browser},
        {"lynx", s.lynx},
        {"def_doc_browser", s.def_doc_browser},
        {"date_time", s.date_time},
        {"tag_color_lm_error_fg", s.tag_color_lm_error_fg},
        {"tag_color_lm_error_bg", s.tag_color_lm_error_bg},
        {"tag_spellcheck", s.tag_spellcheck},
        {"text_foreground", s.text_foreground},
        {"text_background", s.text_background},
        {"text_sel_foreground", s.text_sel_foreground},
        {"text_sel_background", s.text_sel_background},
        {"rtf_enc", s.rtf_enc},
        {"tag_comment_font", s.tag_comment_font},
        {"tag_identifier_font", s.tag_identifier_font},
        {"tag_digit_font", s.tag_digit_font},
        {"tag_string_font", s.tag_string_font},
        {"tag_html_tag_font", s.tag_html_tag_font},
        {"tag_preprocessor_font", s.tag_preprocessor_font},
        {"tag_type_font", s.tag_type_font},
        {"editor_font", s.editor_font},
        {"ext_pic_editor", s.ext_pic_editor},
        {"ext_pic_viewer", s.ext_pic_viewer},
    };
    const std::vector<std::pair<std::string, long>> flags = {
        {"prompt_on_not_saved", s.prompt_on_not_saved},
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
    };
    const std::vector<std::pair<std::string, long>> numbers = {
        {"famous_history_max", s.famous_history_max},
        {"max_recent_items", s.max_recent_items},
        {"thumb_width", s.thumb_width},
        {"thumb_height", s.thumb_height},
        {"tab_size", s.tab_size},
    };
    Lines collected;
    for (const auto& [k, v] : texts) collected.push_back(k + "=" + v);
    for (const auto& [k, v] : flags) collected.push_back(k + "=" + (v ? "1" : "0"));
    for (const auto& [k, v] : numbers) collected.push_back(k + "=" + std::to_string(v));
    std::reverse(collected.begin(), collected.end());
    return collected;
}

TEST(SettingsWrite, DefaultsInExactFileOrder) {
    Settings s = settings_from_table(std::nullopt, kHome);
    Lines lines = settings_write_lines(s);
    EXPECT_EQ(lines, expected_written_lines(s));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "tab_size=3");
    EXPECT_EQ(lines.back(), "fmt_color_function=<span style=\"color:@color;\">@text</span>");
    EXPECT_EQ(lines.size(), 35u + 40u + 5u);
    for (const auto& line : lines) {
        EXPECT_NE(line.rfind("#", 0), 0u) << line;
        EXPECT_NE(line.rfind("default_charset=", 0), 0u);
        EXPECT_NE(line.rfind("def_filesave_charset=", 0), 0u);
        EXPECT_NE(line.rfind("mplayer=", 0), 0u);
        EXPECT_NE(line.rfind("other=", 0), 0u);
    }
}

TEST(SettingsWrite, ChangedValuesAndFlagsAsZeroOrOne) {
    Settings s = settings_from_table(std::nullopt, kHome);
    s.tab_size = 8;
    s.do_backup = 5;
    s.word_wrap = 0;
    s.prompt_on_not_saved = 0;
    s.cm_mplayer = "mpv @movie_file";
    s.other_browser = "links2 %s&";
    s.date_time = "";
    Lines lines = settings_write_lines(s);
    EXPECT_EQ(lines, expected_written_lines(s));
    EXPECT_TRUE(lines_find_exact(lines, "do_backup=1"));
    EXPECT_TRUE(lines_find_exact(lines, "word_wrap=0"));
    EXPECT_TRUE(lines_find_exact(lines, "prompt_on_not_saved=0"));
    EXPECT_TRUE(lines_find_exact(lines, "cm_mplayer=mpv @movie_file"));
    EXPECT_TRUE(lines_find_exact(lines, "other_browser=links2 %s&"));
    EXPECT_TRUE(lines_find_exact(lines, "date_time="));
}

TEST(SettingsWrite, AValueNeverAddsALine) {
    Settings s = settings_from_table(std::nullopt, kHome);
    s.date_time = "%H\ntab_size=0";
    s.other_browser = "w3m %s\n";
    Lines lines = settings_write_lines(s);
    EXPECT_EQ(lines.size(), 35u + 40u + 5u);
    EXPECT_TRUE(lines_find_exact(lines, "date_time=%H"));
    EXPECT_TRUE(lines_find_exact(lines, "other_browser=w3m %s"));
    EXPECT_FALSE(lines_find_exact(lines, "tab_size=0"));
}

TEST(SettingsWrite, RewrittenFileDropsHandAddedKeysAndReadsBackTheSame) {
    TempHome home;
    const std::string rc = home.file("orvane_rc");
    write_file(rc, "#Fichier de configuration Orvane IDE.\nlogmemo_lines_max=20\ntab_size=6\n"
                   "cm_mplayer=vlc %s\nother_browser=w3m %s\ndefault_charset=KOI8-R\n");
    Settings before = settings_from_table(load_key_file(rc), home.path());
    EXPECT_EQ(before.logmemo_lines_max, 20);
    ASSERT_TRUE(lines_to_file(settings_write_lines(before), rc));

    const std::string text = read_file(rc);
    EXPECT_EQ(text.rfind("tab_size=6\n", 0), 0u);
    EXPECT_EQ(text.find("logmemo_lines_max"), std::string::npos);
    EXPECT_NE(text.rfind('#', 0), 0u);
    EXPECT_EQ(text.find("\n#"), std::string::npos);
    Settings after = settings_from_table(load_key_file(rc), home.path());
    EXPECT_EQ(after.logmemo_lines_max, 13);
    EXPECT_EQ(after.tab_size, 6);
    EXPECT_EQ(after.cm_mplayer, "vlc %s");
    EXPECT_EQ(after.other_browser, "w3m %s");
    EXPECT_EQ(after.default_charset, "UTF-8"); // not written, so back to its default
    EXPECT_EQ(settings_write_lines(after), settings_write_lines(before));
}

TEST(SettingsStore, ReplaceIsVisibleProgramWide) {
    Settings s = settings_from_table(std::nullopt, kHome);
    s.tab_size = 11;
    settings_replace(s);
    EXPECT_EQ(settings().tab_size, 11);
    settings_replace(settings_from_table(std::nullopt, kHome));
    EXPECT_EQ(settings().tab_size, 3);
}

} // namespace
