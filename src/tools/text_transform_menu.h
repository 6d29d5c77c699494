// The text commands of the Fonctions menu as one table: what each reads, whether
// it asks the command entry for a parameter, where its result goes, and the
// function that makes it. A menu handler looks its row up by label and only
// moves text between the document and run_text_transform.
#pragma once

#include <string_view>
#include <vector>

#include "tools/text_transform.h"

enum class TransformScope {
    selection,         // a non-empty selection; nothing happens without one
    selection_or_word, // the selection, else the word around the cursor
    cursor,            // inserts at the cursor; nothing happens with a selection
    whole_text,        // the whole document, rewritten by edits in place
    selection_or_text, // the selection, else the whole document
};

// What a command is given: the text it works on (empty for `cursor`), the
// command entry's text and the document's path.
struct TransformInput {
    std::string_view text;
    std::string_view entry;
    std::string_view path;
};

struct TextTransform {
    const char* submenu; // untranslated label of the Fonctions submenu
    const char* label;   // untranslated label of the menu item
    TransformScope scope;
    // The example command_entry_prompt puts into an empty command entry;
    // null for a command without a parameter.
    const char* prompt;
    bool new_document; // the result opens as a new document
    // Exactly one of the two is set: `replace` for every scope but
    // `whole_text`, `edits` for `whole_text`.
    TransformResult (*replace)(const TransformInput&);
    std::vector<TextEdit> (*edits)(const TransformInput&);
};

// Every row, in menu order.
const std::vector<TextTransform>& text_transforms();
// The row whose label is `label` (untranslated); null when none.
const TextTransform* find_text_transform(std::string_view label);

// Runs a `replace` row. None — leave the document as it is — for invalid UTF-8
// in or out, for a command that does nothing, and, when the result replaces the
// text, for a result equal to it (so no empty undo step is made).
TransformResult run_text_transform(const TextTransform& row, const TransformInput& input);
