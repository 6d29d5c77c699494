// The text side of the menus rebuilt from lists, files and directories: what
// each menu lists and what an entry does.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shell/key_file.h"
#include "shell/lines.h"

// Names of the entries of `dir` that are not directories, sorted by collation so
// the menus keep one order whatever the file system returns. Empty when the
// directory cannot be read.
Lines directory_file_names(const std::string& dir);

// Creates `dir` with mode 0700 when missing; true when it is a directory afterwards.
bool ensure_private_dir(const std::string& dir);

// One label per non-empty line, in order.
Lines menu_labels_from_lines(const Lines& lines);

// The recent-files menu: the non-empty entries among the first `max`.
Lines recent_menu_labels(const Lines& recent, long max);
// After an entry was opened it leaves the list until its document closes again.
void recent_remove_first(Lines& recent, std::string_view name);

// The user menu lists its keys in collation order.
Lines user_menu_labels(const KeyTable& table);
// The command of entry `label` with each "%s" replaced by the file name as one
// shell word (shell_fill_command);
// none when the entry is unknown.
std::optional<std::string> user_menu_command(const KeyTable& table, const std::string& label,
                                             std::string_view file_name);

// What activating a snippet does to the current document.
struct SnippetEdit {
    enum Kind { insert_at_cursor, replace_selection } kind;
    std::string text;
};
// `selection` is none when nothing is selected. A snippet that is not valid UTF-8
// does nothing, and so does one without "%s" while text is selected.
std::optional<SnippetEdit> snippet_edit(std::string_view snippet,
                                        const std::optional<std::string>& selection);

// The widget names collected by "Dump menu", joined by line feeds; "-x-" is left out.
std::string menu_dump_text(const Lines& names);
