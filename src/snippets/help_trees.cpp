#include "snippets/help_trees.h"

#include <glib.h>

#include "shell/gobj.h"

namespace {

constexpr HelpLanguage kInterpreted[] = {
    {"[BASH]", N_("Aide BASH"), "bash"},
    {"[PERL]", N_("Aide Perl"), "perl"},
    {"[PHP]", N_("Aide Php"), "php"},
};
constexpr HelpLanguage kDatabases[] = {
    {"[MYSQL]", N_("Aide MySql"), "mysql"},
};
constexpr HelpLanguage kWeb[] = {
    {"[HTML]", N_("Aide HTML"), "html"},
    {"[CSS]", N_("Aide CSS"), "css"},
    {"[JAVASCRIPT/JQUERY]", N_("Aide Javascript Jquery"), "javascript"},
    {"[HTACCESS]", N_("Aide Htaccess"), "htaccess"},
};
constexpr HelpCategory kCategories[] = {
    {N_("Langages interprétés"), kInterpreted},
    {N_("Base de données"), kDatabases},
    {N_("Web mise en page"), kWeb},
};

// Case-folded and composed, so that "É" typed matches "é" in either form.
std::string fold(std::string_view text) {
    GCharPtr valid(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
    GCharPtr folded(g_utf8_casefold(valid.get(), -1));
    GCharPtr composed(g_utf8_normalize(folded.get(), -1, G_NORMALIZE_DEFAULT_COMPOSE));
    return composed ? composed.get() : folded.get();
}

bool starts_a_word_at(const std::string& text, std::size_t pos) {
    if (pos == 0) return true;
    const char* prev = g_utf8_find_prev_char(text.c_str(), text.c_str() + pos);
    return prev == nullptr || !g_unichar_isalnum(g_utf8_get_char(prev));
}

bool piece_found(const std::string& text, std::string_view piece) {
    if (piece.empty()) return true;
    for (std::size_t pos = text.find(piece); pos != std::string::npos;
         pos = text.find(piece, pos + 1))
        if (starts_a_word_at(text, pos)) return true;
    return false;
}

} // namespace

std::span<const HelpCategory> help_chooser_categories() {
    return kCategories;
}

const HelpLanguage* help_language_for_row(std::string_view row_text) {
    for (const HelpCategory& category : kCategories)
        for (const HelpLanguage& language : category.languages)
            if (row_text == language.row) return &language;
    return nullptr;
}

HelpRowParts help_row_parse(std::string_view row_text) {
    HelpRowParts parts;
    const std::size_t close = row_text.find(')');
    parts.has_close = close != std::string_view::npos;
    const std::string_view key = row_text.substr(0, close);
    parts.key = key;
    if (parts.has_close) parts.rest = row_text.substr(close + 1);
    const std::size_t open = key.find('(');
    parts.has_tag = open != std::string_view::npos;
    if (parts.has_tag) parts.tag = key.substr(open + 1);
    return parts;
}

std::optional<std::string> help_row_web_search(std::string_view row_text) {
    HelpRowParts parts = help_row_parse(row_text);
    if (!parts.has_tag || parts.rest.empty()) return std::nullopt;
    return parts.tag + parts.rest;
}

bool help_search_matches(std::string_view row_text, std::string_view typed) {
    const std::string text = fold(row_text);
    const std::string pieces = fold(typed);
    std::string_view rest = pieces;
    for (;;) {
        const std::size_t blank = rest.find(' ');
        if (!piece_found(text, rest.substr(0, blank))) return false;
        if (blank == std::string_view::npos) return true;
        rest.remove_prefix(blank + 1);
    }
}
