// The pages and rows of the preferences window as data: which setting each
// field shows and saves, with which kind of field and which label.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class PreferenceKind {
    check,      // check button, active when the integer setting is non-zero
    text,       // label and entry
    font,       // label, entry with the font name, font button
    colour,     // label, entry with the colour text, colour button
    number,     // label and spin button, 1 to 1080
    folder,     // label, entry, "Choose" button that picks a folder
    heading,    // a titled empty frame, no setting
    label,      // a label alone, no setting
    inner_page, // starts a page of the page's inner notebook, titled with the label
};

struct PreferenceRow {
    PreferenceKind kind;
    const char* label;         // marked for translation unless `translated` is false
    const char* key = nullptr; // the setting shown and saved; null for rows without a field
    bool translated = true;
};

struct PreferencePage {
    const char* title;
    bool scrolled = false; // the rows sit in a scrolled window
    std::vector<PreferenceRow> rows;
};

// The fourteen pages in notebook order; the last is "Maintenance", whose
// buttons are not settings and so has no rows.
const std::vector<PreferencePage>& preference_pages();

// Whether the row's field holds a string setting (entries) or an integer one
// (check and spin buttons); rows of neither kind hold no setting.
bool preference_holds_string(PreferenceKind kind);
bool preference_holds_integer(PreferenceKind kind);

// The page the window opens on: the remembered one when it exists, else the first.
std::size_t preference_first_page(long remembered, std::size_t page_count);

// A colour as a field writes it: "#rrggbb" from the high bytes of 16-bit channels.
std::string preference_colour_text(unsigned red16, unsigned green16, unsigned blue16);
// A folder as a field writes it: the chosen path followed by "/".
std::string preference_folder_text(std::string_view path);
