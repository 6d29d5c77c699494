// The text rules of the Html menu: what each entry writes into the page and
// where it leaves the cursor. The menu handlers apply an HtmlEdit as one undoable
// action; nothing here touches a buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What an entry writes. `replaces_selection` true: `text` replaces the selection;
// false: `text` goes in at the cursor and any selection stays as it is.
// `cursor`: where the cursor goes afterwards, in characters from the start of
// `text`; none leaves it after the inserted text.
struct HtmlEdit {
    std::string text;
    bool replaces_selection = false;
    std::optional<long> cursor;
};

// `selection` is none when nothing is selected (an empty selection counts as none).
using Selection = std::optional<std::string_view>;

// <tag>S</tag>, or the empty pair with the cursor between the tags. `tag` is one
// of the fixed names of the menu: b, i, u, p, table, tr, td, h1 … h6.
HtmlEdit html_wrap_tag(std::string_view tag, Selection selection);

// "Aligner": <div align="value">S</div> or the pair. The entries' labels (as
// written before translation) and their values.
struct HtmlAlignment {
    const char* label; // "Centrer", "Gauche", "Droite", "Justifier"
    const char* value; // "center", "left", "right", "justify"
};
const std::vector<HtmlAlignment>& html_alignments();
HtmlEdit html_align(std::string_view value, Selection selection);

// "Lien": <a href="">S</a> with the cursor between the quotes of href="", or the
// pair <a href=""></a> with the cursor between the tags.
HtmlEdit html_link(Selection selection);
// "Image": <img src="S"> with the cursor after S (a `"` in S written &quot;), or
// <img src=""> with the cursor between the quotes.
HtmlEdit html_image(Selection selection);
// The division with id of the snippet tree: "<div id=\"\">\n" S "\n</div>" with the
// cursor between the quotes, or the pair <div id=""></div>.
HtmlEdit html_div_with_id(Selection selection);

// "Retour chariot": <br /> when `xhtml_mode` is 1, else <br>; at the cursor.
HtmlEdit html_line_break(int xhtml_mode);
// "Espace": &nbsp; at the cursor.
HtmlEdit html_space();

// "Commenter", by the suffix of the document's file name (any case): <!-- S -->
// for HTML and XML, /*S*/ for C, C++, CSS and PHP, {S} for Pascal; without a
// selection the empty comment. None for any other name.
std::optional<HtmlEdit> html_comment(std::string_view file_name, Selection selection);

// "Couleur": the colour as "#rrggbb" from the high byte of each 16-bit channel.
std::string html_color_text(std::uint16_t red, std::uint16_t green, std::uint16_t blue);
// With a selection: `fmt_color_function` with its first "@color" replaced by the
// colour, then its first "@text" by the selection, replacing the selection. A
// template without "@text" is inserted at the cursor and the selection is kept.
// Without a selection: the colour text alone, at the cursor.
HtmlEdit html_color(std::string_view fmt_color_function, std::string_view color,
                    Selection selection);

// "Convertir les caractères spéciaux": & < > ' " written &amp; &lt; &gt; &#39; &quot;.
std::string html_escape_special(std::string_view text);

// "Supprimer les balises HTML": the text outside tags; "&quot;" (any case) outside
// a tag reads as `"`. `<b>bold</b> a < b` gives `bold a < b`.
std::string html_strip_tags(std::string_view text);

// "Lien autour de la séléction": text_to_link of the selection, replacing it.
HtmlEdit html_link_around(std::string_view selection);

// "Template de base": the page skeleton at the cursor.
HtmlEdit html_template_edit();

// "Inserer un DOCTYPE": the item labels in menu order (not translated), and the
// declaration an item inserts; none for an unknown label.
const std::vector<std::string>& html_doctype_labels();
std::optional<std::string> html_doctype(std::string_view label);

// "Caractères spéciaux HTML": the translated labels sorted by the locale's
// collation (the menu's items, rebuilt from this), and the reference an item
// inserts, "&#160;"; none for a label that is not in the table.
std::vector<std::string> html_character_reference_labels();
std::optional<std::string> html_character_reference(std::string_view translated_label);

// "Tableau de base". The command entry holds "rows~cells" (example "2~2"); each
// number is read as strtol reads it, an absent or empty piece counts as 1. At most
// kHtmlTableMaxRows rows of kHtmlTableMaxCells cells: `capped` tells the handler
// to log html_table_capped_text().
inline constexpr long kHtmlTableMaxRows = 1000;
inline constexpr long kHtmlTableMaxCells = 100;
inline constexpr const char* kHtmlTableExample = "2~2";
struct HtmlTable {
    std::string text; // "<table>\n<tr>\n<td></td>\n…</tr>\n</table>", no final line end
    bool capped = false;
};
HtmlTable html_table(std::string_view entry);
std::string html_table_greeting_text(); // the greeting-kind log line (translated)
std::string html_table_capped_text();   // the log line when the table was capped (translated)
inline constexpr const char* kHtmlTableStatus = "Make table HTML";
