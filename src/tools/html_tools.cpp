#include "tools/html_tools.h"

#include <glib.h>
#include <glib/gi18n-lib.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "shell/gobj.h"
#include "shell/lines.h"
#include "tools/html_template.h"

namespace {

long char_count(std::string_view text) {
    return g_utf8_strlen(text.data(), static_cast<gssize>(text.size()));
}

bool has_selection(Selection selection) {
    return selection && !selection->empty();
}

// Wraps the selection in `open`/`close`, or inserts the empty pair with the cursor
// between them.
HtmlEdit wrap(const std::string& open, const std::string& close, Selection selection) {
    if (has_selection(selection)) return {open + std::string(*selection) + close, true, {}};
    return {open + close, false, char_count(open)};
}

std::string quote_free(std::string_view value) {
    return replace_all(value, "\"", "&quot;");
}

std::string ascii_lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = g_ascii_tolower(c);
    return out;
}

// The reading strtol gives a piece of the command entry, held within [0, limit]
// except that a negative number stays negative (it means "none").
long read_count(std::string_view piece) {
    std::size_t i = 0;
    while (i < piece.size() && g_ascii_isspace(piece[i]))
        ++i;
    bool negative = false;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) negative = piece[i++] == '-';
    long value = 0;
    for (; i < piece.size() && g_ascii_isdigit(piece[i]); ++i) {
        if (value < 1'000'000'000L) value = value * 10 + (piece[i] - '0');
    }
    return negative ? -value : value;
}

struct CharacterReference {
    const char* label;
    int code;
};

// The labels are translated when the menu is built.
constexpr CharacterReference kCharacterReferences[] = {
    {N_("espace insécable"), 160},
    {N_("cent signe"), 162},
    {N_("pound signe"), 163},
    {N_("signe de la monnaie"), 164},
    {N_("yen signe"), 165},
    {N_("section signe"), 167},
    {N_("copyright signe"), 169},
    {N_("une marque signe"), 8482},
    {N_("féminin indicateur ordinal \"ª\""), 170},
    {N_("pointant vers la gauche à double guillemet angle"), 171},
    {N_("trait d'union"), 173},
    {N_("signe enregistré"), 174},
    {N_("signe de degré"), 176},
    {N_("plus-minus sign"), 177},
    {N_("apostrophe"), 39},
    {N_("pointant vers la droite à double guillemet angle"), 187},
    {N_("gauche guillemet simple"), 8216},
    {N_("droit guillemet simple"), 8217},
    {N_("symbole de l'euro"), 8364},
    {N_("grec symbole pi"), 982},
    {N_("flèche vers la gauche"), 8592},
    {N_("flèche vers le haut"), 8593},
    {N_("flèche vers la droite"), 8594},
    {N_("flèche vers le bas"), 8595},
    {N_("racine carrée"), 8730},
    {N_("indicateur ordinal masculin \"º\""), 186},
    {N_("guillemet"), 34},
    {N_("&"), 38},
    {N_("signe inférieur à"), 60},
    {N_("signe supérieur à"), 62},
};

struct Doctype {
    const char* label;
    const char* declaration;
};

const Doctype kDoctypes[] = {
    {"HTML 4.1 Transitional", "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
                              "\"http://www.w3.org/TR/html4/loose.dtd\">"},
    {"HTML 4.1 Strict", "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
                        "\"http://www.w3.org/TR/html4/strict.dtd\">"},
    {"HTML 4.1 Frameset", "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\" "
                          "\"http://www.w3.org/TR/html4/frameset.dtd\">"},
    {"XHTML 1.0 Strict", "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
                         "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">"},
    {"XHTML 1.0 Transitional", "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
                               "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">"},
    {"XHTML 1.0 Frameset", "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Frameset//EN\" "
                           "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-frameset.dtd\">"},
    {"WML 1.1", "<?xml version=\"1.0\"?> \n"
                "<!DOCTYPE wml PUBLIC \"-//WAPFORUM//DTD WML 1.1//EN\" "
                "\"http://www.wapforum.org/DTD/wml_1.1.xml\">"},
};

} // namespace

HtmlEdit html_wrap_tag(std::string_view tag, Selection selection) {
    const std::string name(tag);
    return wrap("<" + name + ">", "</" + name + ">", selection);
}

const std::vector<HtmlAlignment>& html_alignments() {
    static const std::vector<HtmlAlignment> alignments = {{N_("Centrer"), "center"},
                                                          {N_("Gauche"), "left"},
                                                          {N_("Droite"), "right"},
                                                          {N_("Justifier"), "justify"}};
    return alignments;
}

HtmlEdit html_align(std::string_view value, Selection selection) {
    return wrap("<div align=\"" + std::string(value) + "\">", "</div>", selection);
}

HtmlEdit html_link(Selection selection) {
    if (!has_selection(selection)) return wrap("<a href=\"\">", "</a>", selection);
    // The cursor goes into the empty address, however many quotes the text holds.
    return {"<a href=\"\">" + std::string(*selection) + "</a>", true, char_count("<a href=\"")};
}

HtmlEdit html_image(Selection selection) {
    const std::string open = "<img src=\"";
    if (!has_selection(selection)) return {open + "\">", false, char_count(open)};
    const std::string value = quote_free(*selection);
    return {open + value + "\">", true, char_count(open) + char_count(value)};
}

HtmlEdit html_div_with_id(Selection selection) {
    if (!has_selection(selection)) return wrap("<div id=\"\">", "</div>", selection);
    return {"<div id=\"\">\n" + std::string(*selection) + "\n</div>", true,
            char_count("<div id=\"")};
}

HtmlEdit html_line_break(int xhtml_mode) {
    return {xhtml_mode == 1 ? "<br />" : "<br>", false, {}};
}

HtmlEdit html_space() {
    return {"&nbsp;", false, {}};
}

std::optional<HtmlEdit> html_comment(std::string_view file_name, Selection selection) {
    const std::size_t slash = file_name.rfind('/');
    const std::string_view base =
        slash == std::string_view::npos ? file_name : file_name.substr(slash + 1);
    const std::size_t dot = base.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    const std::string suffix = ascii_lower(base.substr(dot + 1));
    auto one_of = [&](std::initializer_list<const char*> names) {
        return std::any_of(names.begin(), names.end(), [&](const char* n) { return suffix == n; });
    };
    std::string open, close;
    if (one_of({"html", "htm", "shtml", "xml", "xhtml"})) {
        open = "<!-- ";
        close = " -->";
    } else if (one_of({"c", "h", "cpp", "cxx", "cc", "cp", "c++", "css", "php"})) {
        open = "/*";
        close = "*/";
    } else if (one_of({"pas", "dpr", "pp"})) {
        open = "{";
        close = "}";
    } else {
        return std::nullopt;
    }
    if (has_selection(selection)) return HtmlEdit{open + std::string(*selection) + close, true, {}};
    if (open == "<!-- ") return HtmlEdit{"<!-- -->", false, {}};
    return HtmlEdit{open + " " + close, false, {}};
}

std::string html_color_text(std::uint16_t red, std::uint16_t green, std::uint16_t blue) {
    static const char digits[] = "0123456789abcdef";
    std::string out = "#";
    for (std::uint16_t channel : {red, green, blue}) {
        const unsigned high = channel >> 8;
        out += digits[high >> 4];
        out += digits[high & 0xf];
    }
    return out;
}

HtmlEdit html_color(std::string_view fmt_color_function, std::string_view color,
                    Selection selection) {
    if (!has_selection(selection)) return {std::string(color), false, {}};
    std::string text(fmt_color_function);
    if (std::size_t at = text.find("@color"); at != std::string::npos) text.replace(at, 6, color);
    const std::size_t at = text.find("@text");
    // A template that does not take the text must not swallow the selection.
    if (at == std::string::npos) return {text, false, {}};
    text.replace(at, 5, *selection);
    return {text, true, {}};
}

std::string html_escape_special(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\'':
            out += "&#39;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string html_strip_tags(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool outside = true;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == '<') {
            if (i + 1 < n) {
                const char next = text[i + 1];
                if (g_ascii_isspace(next) || next == '<') {
                    outside = true;
                } else if (next == '>') {
                    outside = false;
                } else {
                    // Whichever of '<' and '>' comes first tells whether this opens a tag.
                    const std::size_t stop = text.find_first_of("<>", i + 2);
                    if (stop != std::string_view::npos) outside = text[stop] == '<';
                }
            }
            if (outside) out += c;
        } else if (c == '>') {
            if (outside) out += c;
            outside = true;
        } else if (c == '&' && outside && n - i >= 6 &&
                   g_ascii_strncasecmp(text.data() + i, "&quot;", 6) == 0) {
            out += '"';
            i += 5;
        } else if (outside) {
            out += c;
        }
    }
    return out;
}

HtmlEdit html_link_around(std::string_view selection) {
    return {text_to_link(selection), true, {}};
}

HtmlEdit html_template_edit() {
    return {html_page_skeleton(), false, {}};
}

const std::vector<std::string>& html_doctype_labels() {
    static const std::vector<std::string> labels = [] {
        std::vector<std::string> out;
        for (const Doctype& d : kDoctypes)
            out.emplace_back(d.label);
        return out;
    }();
    return labels;
}

std::optional<std::string> html_doctype(std::string_view label) {
    for (const Doctype& d : kDoctypes)
        if (label == d.label) return std::string(d.declaration);
    return std::nullopt;
}

std::vector<std::string> html_character_reference_labels() {
    std::vector<std::pair<std::string, std::string>> keyed;
    for (const CharacterReference& r : kCharacterReferences) {
        const std::string label = _(r.label);
        if (label.empty()) continue;
        GCharPtr key(g_utf8_collate_key(label.c_str(), -1));
        keyed.emplace_back(key.get(), label);
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::string> labels;
    for (auto& [key, label] : keyed)
        labels.push_back(std::move(label));
    return labels;
}

std::optional<std::string> html_character_reference(std::string_view translated_label) {
    for (const CharacterReference& r : kCharacterReferences)
        if (translated_label == _(r.label)) return "&#" + std::to_string(r.code) + ";";
    return std::nullopt;
}

HtmlTable html_table(std::string_view entry) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (pieces.size() < 2) {
        const std::size_t tilde = entry.find('~', start);
        if (tilde == std::string_view::npos) {
            pieces.push_back(entry.substr(start));
            break;
        }
        pieces.push_back(entry.substr(start, tilde - start));
        start = tilde + 1;
    }
    auto count = [&](std::size_t i) {
        return i < pieces.size() && !pieces[i].empty() ? read_count(pieces[i]) : 1L;
    };
    HtmlTable table;
    long rows = count(0);
    long cells = count(1);
    if (rows > kHtmlTableMaxRows) {
        rows = kHtmlTableMaxRows;
        table.capped = true;
    }
    if (cells > kHtmlTableMaxCells) {
        cells = kHtmlTableMaxCells;
        table.capped = true;
    }
    std::string row = "\n<tr>";
    for (long c = 0; c < cells; ++c)
        row += "\n<td></td>";
    row += "\n</tr>";
    table.text = "<table>";
    table.text.reserve(table.text.size() + row.size() * std::max(rows, 0L) + 9);
    for (long r = 0; r < rows; ++r)
        table.text += row;
    table.text += "\n</table>";
    return table;
}

std::string html_table_greeting_text() {
    return _("[INFO] Vous poouvez indiquer le nombre de ligne (TR) et le nombre de colonne (TD) "
             "dans la ligne de commande\nExemple :2~2\nPour 2 TR et 2 TD\n\n");
}

std::string html_table_capped_text() {
    return _("Le tableau est limité à 1000 lignes (TR) de 100 colonnes (TD).");
}
