// The catalogue of ready-made fragments behind the help trees: nine trees (php,
// css, term, javascript, htaccess, bash, perl, mysql, html) of numbered headings
// and items, held in one static table in display order.
//
// An item's title is its number, its tag in parentheses, then its text
// ("2.1 (php) IF"); its key is the title up to the first ")" ("2.1 (php") and
// alone selects what choosing the item does. Headings and the untagged perl row
// "TABLEAU" have no key and do nothing.
#pragma once

#include <span>
#include <string>
#include <string_view>

enum class SnippetAction {
    none,             // a heading, or an untagged row
    insert_text,      // insert `text` at the cursor as one step
    run_operation,    // perform `operation`
    type_in_terminal, // type the terminal command of this key into the help window's terminal
};

// Operations some items perform instead of inserting a fixed text; the GUI
// layer dispatches them.
enum class SnippetOperation {
    none,
    bash_header,            // script header, three pieces (snippets/script_headers.h)
    perl_header,            //   "
    php_header,             //   "
    html_skeleton,          // the page skeleton as one insertion, like "Template de base"
    comment,                // the "Commenter" tool: wraps the selection in the file's comment
    html_table,             // the table maker, rows~columns read from the command entry
    link_around_selection,  // the link tool on the selection
    image_around_selection, // the image tool on the selection
    div_around_selection,   // snippet_div_around, cursor placed by its offset
    case_builder,           // dialog "Nombre d'options"
    grep_builder,           // dialog "Aide pour Grep"
    awk_builder,            // dialog "Aide Awk"
    sed_builder,            // dialog "Aide Sed"
    scp_builder,            // dialog "Style de variable"
};

struct SnippetRow {
    std::string_view tree; // "php", "css", "term", ...
    bool heading;          // a top-level row of its tree
    const char* title;     // untranslated; shown through gettext
    std::string_view key;  // "2.1 (php"; empty for headings and untagged rows
    SnippetAction action;
    const char* text;           // insert_text: the fragment (untranslated); "" otherwise
    bool translate;             // the fragment goes through gettext before insertion
    SnippetOperation operation; // run_operation only
};

// Every row of every tree, in display order (trees one after another, each
// heading followed by its items).
std::span<const SnippetRow> snippet_catalogue();

// The nine tree names in catalogue order.
std::span<const std::string_view> snippet_tree_names();

// The rows of one tree in display order; a heading row is the parent of the
// items that follow it. An unknown name gives no rows.
std::span<const SnippetRow> snippet_tree_rows(std::string_view tree);

// The item whose key is `key`; nullptr for an unknown or empty key.
const SnippetRow* snippet_find(std::string_view key);

// The fragment an insert_text row inserts, translated when the row says so.
std::string snippet_text(const SnippetRow& row);

// "1.8 (html)": the selection wrapped in a div with an empty id, and where the
// cursor goes, in characters from the start of `text`: inside id="" whatever the
// selection holds. Without a selection, an empty div pair with the cursor
// between the two tags.
struct SnippetInsertion {
    std::string text;
    long cursor;
};
SnippetInsertion snippet_div_around(std::string_view selection);
