// The preferences window's pages as data: every field stands for a setting of
// its own type, and together they cover what the window writes back.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "shell/preference_rows.h"
#include "shell/settings.h"

namespace {

TEST(PreferenceRows, PagesInOrderAndEveryFieldOnASettingOfItsType) {
    std::vector<std::string> titles;
    for (const auto& page : preference_pages())
        titles.push_back(page.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"Principale", "Encodage", "Fonctions", "Interface",
                                                "Limites", "Fonts", "Editeur", "Navigateurs",
                                                "Couleurs", "Commandes", "Paths", "Complémentation",
                                                "Confirmations", "Maintenance"}));

    Settings s;
    std::map<std::string, int> fields;
    for (const auto& page : preference_pages())
        for (const auto& row : page.rows) {
            const bool string_field = preference_holds_string(row.kind);
            const bool integer_field = preference_holds_integer(row.kind);
            EXPECT_EQ(row.key != nullptr, string_field || integer_field) << row.label;
            if (!row.key) continue;
            ++fields[row.key];
            EXPECT_EQ(settings_string(s, row.key) != nullptr, string_field) << row.key;
            EXPECT_EQ(settings_integer(s, row.key) != nullptr, integer_field) << row.key;
        }

    // Every key written back has one field, except the four the window has none
    // for (they keep their current values) and nothing else.
    std::map<std::string, int> written;
    for (const auto& line : settings_write_lines(s))
        written[line.substr(0, line.find('='))] = 1;
    for (const char* without_field :
         {"warn_about_aliens", "do_show_main_toolbar", "show_hidden_files", "famous_history_max"})
        EXPECT_EQ(written.erase(without_field), 1u) << without_field;
    EXPECT_EQ(fields, written);
}

TEST(PreferenceRows, FirstPageAndTheTextsFieldsWrite) {
    for (auto [remembered, page] : std::vector<std::pair<long, std::size_t>>{
             {0, 0}, {3, 3}, {13, 13}, {14, 0}, {99, 0}, {-1, 0}})
        EXPECT_EQ(preference_first_page(remembered, 14), page) << remembered;

    EXPECT_EQ(preference_colour_text(0xffff, 0, 0), "#ff0000");
    EXPECT_EQ(preference_colour_text(0x12ff, 0xab00, 0x00ff), "#12ab00");
    EXPECT_EQ(preference_folder_text("/srv/www"), "/srv/www/");
    EXPECT_EQ(preference_folder_text("/"), "/");
}

} // namespace
