// key=value files, the setting lookups and the line-list lookups of orvane_ui.
#include <gtest/gtest.h>

#include "shell/key_file.h"
#include "shell/ui_state.h"
#include "support/temp_home.h"

namespace {

TEST(KeyText, ParsesKeysValuesAndComments) {
    KeyTable t = parse_key_text(
        "#tab_size=9\n"
        "tab_size=8\n"
        "fmt_color_function=<span style=\"color:@color;\">@text</span>\n"
        "no equal sign here\n"
        "\n"
        "date_time=\n"
        " spaced key = spaced value \n"
        "crlf=value\r\n"
        "=anonymous\n"
        "tab_size=4");
    EXPECT_EQ(t.at("tab_size"), "4");
    EXPECT_EQ(t.at("fmt_color_function"), "<span style=\"color:@color;\">@text</span>");
    EXPECT_EQ(t.at("date_time"), "");
    EXPECT_EQ(t.at(" spaced key "), " spaced value ");
    EXPECT_EQ(t.at("crlf"), "value\r");
    EXPECT_EQ(t.at(""), "anonymous");
    EXPECT_EQ(t.count("#tab_size"), 0u);
    EXPECT_EQ(t.count("no equal sign here"), 0u);
    EXPECT_EQ(t.size(), 6u);
}

TEST(KeyFile, MissingFileGivesNoTableAndDefaults) {
    TempHome home;
    auto table = load_key_file(home.file("missing_rc"));
    EXPECT_FALSE(table);
    EXPECT_EQ(get_string_setting(table, "date_time", "%d/%m/%Y %T"), "%d/%m/%Y %T");
    EXPECT_EQ(get_int_setting(table, "tab_size", 3), 3);
}

TEST(KeyFile, EmptyFileGivesEmptyTable) {
    TempHome home;
    write_file(home.file("rc"), "");
    auto table = load_key_file(home.file("rc"));
    ASSERT_TRUE(table);
    EXPECT_TRUE(table->empty());
}

TEST(KeyFile, IntegerValuesReadLikeStrtol) {
    TempHome home;
    write_file(home.file("rc"),
               "#Fichier de configuration Orvane IDE.\n"
               "a= 5\n"
               " tab_size=5\n"
               "b=abc\n"
               "c=\n"
               "d=-12px\n"
               "e=+7\n"
               "f=0x10\n"
               "g=010\n");
    auto table = load_key_file(home.file("rc"));
    ASSERT_TRUE(table);
    EXPECT_EQ(get_int_setting(table, "a", 3), 5);
    EXPECT_EQ(get_int_setting(table, "tab_size", 3), 3); // the key there is " tab_size"
    EXPECT_EQ(get_int_setting(table, "b", 3), 0);
    EXPECT_EQ(get_int_setting(table, "c", 3), 0);
    EXPECT_EQ(get_int_setting(table, "d", 3), -12);
    EXPECT_EQ(get_int_setting(table, "e", 3), 7);
    EXPECT_EQ(get_int_setting(table, "f", 3), 0);
    EXPECT_EQ(get_int_setting(table, "g", 3), 10);
    EXPECT_EQ(get_int_setting(table, "absent", -4), -4);
    EXPECT_EQ(get_string_setting(table, "c", "default"), "");
    EXPECT_EQ(get_string_setting(table, "absent", "default"), "default");
}

TEST(KeyFile, LastDuplicateWins) {
    TempHome home;
    write_file(home.file("rc"), "tab_size=8\nother=1\ntab_size=4\n");
    EXPECT_EQ(get_int_setting(load_key_file(home.file("rc")), "tab_size", 3), 4);
}

// orvane_ui is read as a line list: the first matching line decides.
class UiLookup : public ::testing::Test {
protected:
    std::optional<Lines> list(const std::string& text) { return text_to_lines(text); }
};

TEST_F(UiLookup, FirstMatchingLineDecides) {
    auto l = list("main_wnd_h=600\nlast_prefs_tab=3\nlast_prefs_tab=1\n");
    EXPECT_EQ(lines_lookup_int(l, "last_prefs_tab", 0), 3);
    EXPECT_EQ(lines_lookup_string(l, "main_wnd_h", "0"), "600");
    EXPECT_EQ(lines_lookup_int(l, "vpaned1_y", 50), 50);
    EXPECT_EQ(lines_lookup_string(l, "vpaned1_y", "x"), "x");
}

TEST_F(UiLookup, EmptyValueOrMissingEqualsGiveDefault) {
    EXPECT_EQ(lines_lookup_string(list("last_prefs_tab=\n"), "last_prefs_tab", "2"), "2");
    EXPECT_EQ(lines_lookup_int(list("last_prefs_tab=\n"), "last_prefs_tab", 2), 2);
    EXPECT_FALSE(lines_lookup_string(list("last_prefs_tab\n"), "last_prefs_tab", "2"));
    EXPECT_EQ(lines_lookup_int(list("last_prefs_tab\nlast_prefs_tab=5\n"), "last_prefs_tab", 2), 2);
    EXPECT_EQ(lines_lookup_int(list("last_prefs_tab=abc\n"), "last_prefs_tab", 2), 0);
    EXPECT_EQ(lines_lookup_int(std::nullopt, "last_prefs_tab", 2), 2);
    EXPECT_EQ(lines_lookup_string(std::nullopt, "k", "d"), "d");
}

TEST_F(UiLookup, KeyMustMatchWhole) {
    auto l = list("last_prefs_tab_old=7\n last_prefs_tab=8\nlast=9\n");
    EXPECT_EQ(lines_lookup_int(l, "last_prefs_tab", 1), 1);
}

TEST(UiState, LinesInFileOrder) {
    UiState s;
    s.main_wnd_h = 700;
    s.main_wnd_w = 1024;
    s.main_wnd_y = 20;
    s.main_wnd_x = -5;
    s.last_prefs_tab = 3;
    s.vpaned1_y = 250;
    EXPECT_EQ(ui_state_lines(s), (Lines{"main_wnd_h=700", "main_wnd_w=1024", "main_wnd_y=20",
                                        "main_wnd_x=-5", "last_prefs_tab=3", "vpaned1_y=250"}));
    EXPECT_EQ(ui_state_text(s),
              "main_wnd_h=700\nmain_wnd_w=1024\nmain_wnd_y=20\nmain_wnd_x=-5\n"
              "last_prefs_tab=3\nvpaned1_y=250\n");
}

TEST(UiState, LastPrefsTabReadsBack) {
    TempHome home;
    const std::string path = home.file("orvane_ui");
    EXPECT_EQ(ui_state_read_last_prefs_tab(path), 0);
    UiState s;
    s.last_prefs_tab = 3;
    ASSERT_TRUE(lines_to_file(ui_state_lines(s), path));
    EXPECT_EQ(ui_state_read_last_prefs_tab(path), 3);
    write_file(path, "last_prefs_tab\n");
    EXPECT_EQ(ui_state_read_last_prefs_tab(path), 0);
    write_file(path, "last_prefs_tab=\n");
    EXPECT_EQ(ui_state_read_last_prefs_tab(path), 0);
}

} // namespace
