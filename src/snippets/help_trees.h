// The display-free side of the help trees: the language chooser's rows, the
// help windows' titles, how a chosen row's text splits into key and tag, the
// web-search fallback for rows outside the catalogue, and the search rule.
#pragma once

#include <glib/gi18n-lib.h>
#include <optional>
#include <span>
#include <string>
#include <string_view>

inline constexpr const char* kHelpChooserColumnTitle = N_("Langages de programmation");
inline constexpr const char* kHelpTreeColumnTitle =
    N_("Aide à la programmation [Ctl+F] pour rechercher");
inline constexpr const char* kHelpNeedsDocument =
    N_("Vous devez ouvrir un fichier pour pouvoir utiliser l'aide.");
inline constexpr const char* kTerminalHelpTitle = N_("Aide commandes du terminal");
inline constexpr int kHelpWindowWidth = 430;
inline constexpr int kHelpWindowHeight = 600;

// One language of the chooser: its bracketed row (shown as it stands), the
// title of its help window (untranslated) and the catalogue tree it shows.
struct HelpLanguage {
    const char* row;
    const char* window_title;
    const char* tree;
};

// A top-level row of the chooser (untranslated title) and its languages.
struct HelpCategory {
    const char* title;
    std::span<const HelpLanguage> languages;
};

std::span<const HelpCategory> help_chooser_categories();

// The language whose bracketed row is exactly `row_text`; nullptr otherwise
// (a category title, or any other text).
const HelpLanguage* help_language_for_row(std::string_view row_text);

// A help row's text split the way a chosen row is read: the key is the text
// before the first ")" (all of it without one), the tag the key's text after its
// first "(" (empty without one), the rest the text after the first ")".
struct HelpRowParts {
    std::string key;
    std::string tag;
    std::string rest;
    bool has_tag = false;   // a "(" before the first ")"
    bool has_close = false; // a ")" at all
};
HelpRowParts help_row_parse(std::string_view row_text);

// What to search the web for when a row outside the catalogue is chosen: the
// tag followed by the rest ("9.9 (perl) FOO bar" gives "perl FOO bar"). None for
// a row without a tag or with nothing after its ")" (headings, "TABLEAU").
std::optional<std::string> help_row_web_search(std::string_view row_text);

// The help window's search: `typed` splits at each blank into pieces, and the
// row matches when every piece is found, without regard to case, either at the
// start of the row text or right after a character that is neither a letter nor
// a digit; every occurrence of a piece is tried. An empty piece always matches.
// Both texts are plain text (no markup is read).
bool help_search_matches(std::string_view row_text, std::string_view typed);
