// Writing pages to their files, and the commands around it: save, save-as in
// its three kinds, time-stamped versions, backups and revert.
#pragma once

#include <string>

struct DocumentPage;

// Writes the page's text to `path` (UTF-8) in the page's charset, with a backup
// when `do_backup` is on, then runs the reload reaction of whatever program file
// was written. Refuses RTF files, folders and files the user may not write. A
// text that has no form in the charset writes nothing. The page's own file,
// when it changed on disk since the page read or wrote it, is overwritten only
// when the user says so. Only a successful write to the page's own path clears
// its modified state and shows its saved indicator. The file keeps what it held
// whenever the write fails.
bool save_page_to(DocumentPage& page, const std::string& path);

// Copies the file `path` (UTF-8) to path + ".bak" and reports. Nothing when
// `only_when_enabled` is set and `do_backup` is off, or when the file does not
// exist. False only when a copy was attempted and failed.
bool make_backup(const std::string& path, bool only_when_enabled);

enum class SaveAsKind { plain, template_file, snippet };
// The save dialog for the current document; true when the page was written.
bool save_as_dialog(SaveAsKind kind);
// How a page that was never saved is saved: its language from its mode, then
// the save dialog (kind plain) for it; true when the page was written.
bool save_new_page(DocumentPage& page);
// What follows an accepted save dialog: the page takes `path` and `charset`
// (kept even when the write fails) and is saved; bound to the file on success.
bool save_page_as(DocumentPage& page, const std::string& path, const std::string& charset);

// "Sauvegarder version", "Backup" and "Revenir à la sauvegarde" for the
// current document.
void save_version_command();
void backup_command();
void revert_command();

// Registers the page saver and the reload reactions of the program's files that
// saving owns; the main window builder calls it.
void save_register();
