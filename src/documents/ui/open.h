// Turning paths into document pages, and reading a page's file again.
#pragma once

#include <optional>
#include <string>

struct DocumentPage;

// The charset the next open uses (none: default_charset). Every entry point that
// opens a file sets it first; it keeps its value after the open.
void set_pending_charset(std::optional<std::string> charset);

// Opens `path` into a new page and reports; null when it cannot be opened
// (declared with the start-up entry points in documents.h as well). A symbolic
// link opens its target, a relative target being taken from the link's folder.
DocumentPage* open_file(const std::string& path);
// open_file, then the "Onglets" menu, the page state and the current page.
DocumentPage* open_and_show(const std::string& path);
// Switches to the tab of an open path; else shows pictures (or hands them to the
// outside editor when `picture_to_editor`), else opens in the current charset.
void open_or_switch(const std::string& path, bool picture_to_editor);
// Switches to the tab of `path`, or opens it in `charset` when it exists.
DocumentPage* open_path_with_charset(const std::string& path, const std::string& charset);
// Reads `path` again into the page's buffer in `charset`; the modified state and
// the page's fields are not touched. False when reading or converting failed.
bool reload_with_charset(DocumentPage& page, const std::string& path, const std::string& charset);

// The dialogs that open files: "Ouvrir" (several files, default charset), and
// the snippet, template and session-file choosers (UTF-8).
void open_snippet_dialog();
void open_template_dialog();
void open_session_file_dialog();
// A configuration file opened as UTF-8 text; the user menu file is created
// with its default line first when it is missing.
void open_config_file(const std::string& path);
void open_user_menu_file();

// "Ouvrir au cursor" and "Editer au cursor": the quoted path under the cursor
// through open_or_switch, pictures shown or handed to the outside editor.
void open_at_cursor();
void edit_at_cursor();
// "Switcher entre header/source" for the current document.
void switch_header_source();
