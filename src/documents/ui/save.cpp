#include "documents/ui/save.h"

#include <ctime>
#include <glib/gi18n-lib.h>
#include <glib/gstdio.h>

#include "documents/charset_list.h"
#include "documents/document_names.h"
#include "documents/file_open_rules.h"
#include "documents/file_stamp.h"
#include "documents/path_helpers.h"
#include "documents/safe_write.h"
#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_events.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_menus.h"
#include "documents/ui/document_page.h"
#include "documents/ui/highlighting.h"
#include "documents/ui/open.h"
#include "shell/config_dir.h"
#include "shell/gobj.h"
#include "shell/lines.h"
#include "shell/menu_texts.h"
#include "shell/reload_hooks.h"
#include "shell/settings.h"
#include "shell/ui/config_actions.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"

namespace {

// Stock ids: GTK draws their label and picture itself.
constexpr const char* kStockCancel = "gtk-cancel";
constexpr const char* kStockSave = "gtk-save";

bool ends_with(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool is_rtf_path(const std::string& path) {
    GCharPtr lower(g_ascii_strdown(path.c_str(), -1));
    return ends_with(lower.get(), ".rtf");
}

void hide_saved_indicator(DocumentPage& page) {
    if (page.saved_indicator) gtk_widget_hide(page.saved_indicator);
}

void show_saved_indicator(DocumentPage& page) {
    if (page.saved_indicator && !is_noname(page.path)) gtk_widget_show(page.saved_indicator);
}

// The refusals before anything is written: the not-saved picture, the
// indicator, and the page's saved indicator hidden.
void refuse(DocumentPage& page) {
    log_icon_not_saved();
    indicator_not_saved();
    hide_saved_indicator(page);
}

// The charset conversion and the write. The conversion comes first so that a
// text the charset cannot hold leaves both the file and its backup alone.
bool write_page_text(DocumentPage& page, const std::string& path, const std::string& fs_path) {
    const std::string text = doc_get_text(GTK_TEXT_BUFFER(page.buffer.get()));
    const auto bytes = encode_text(text, page.encoding);
    if (!bytes) {
        refuse(page);
        log_message(_("Le texte contient des caractères qui n'existent pas dans %s: rien n'est "
                      "écrit"),
                    page.encoding, LM_ERROR);
        return false;
    }
    make_backup(path, true);
    const WriteResult result = write_file_safely(fs_path, *bytes);
    if (!result.ok) {
        refuse(page);
        log_message(_("Ne peut pas écrire %s"), path + " (" + result.error + ")", LM_ERROR);
        return false;
    }
    return true;
}

// The page's file changed on disk since the page read or wrote it (another
// program, another tab of the same file): overwrite only when the user says so.
bool may_overwrite(DocumentPage& page, const std::string& path, const std::string& fs_path) {
    if (!file_changed_since(fs_path, page.disk_stamp)) return true;
    if (ask_confirmation(main_window(),
                         _("%s a changé sur le disque depuis sa dernière lecture ou sauvegarde. "
                           "Remplacer ce qu'il contient par le texte de l'onglet?"),
                         path))
        return true;
    refuse(page);
    log_message(_("%s n'est pas sauvegardé : le fichier sur le disque a changé"), path, LM_ERROR);
    return false;
}

bool page_saver(DocumentPage& page) {
    return save_page_to(page, page.path);
}

void report_save_ok(const std::string& path) {
    log_message(_("%s Sauvegarde [OK]"), path, LM_NORMAL);
    notify_user(_("Save [OK]"));
    status_message(_("Save [OK]"));
    indicator_saved();
}

// The current folder of a file chooser, which GTK may set after the call.
void set_first_folder(GtkFileChooser* chooser, SaveAsKind kind, const DocumentPage& page) {
    const Settings& s = settings();
    switch (kind) {
    case SaveAsKind::plain:
        if (s.use_def_save_dir) {
            gtk_file_chooser_set_current_folder(chooser, s.def_save_dir.c_str());
        } else if (auto fs = to_filesystem_encoding(page.path);
                   fs && g_file_test(fs->c_str(), G_FILE_TEST_EXISTS)) {
            gtk_file_chooser_set_filename(chooser, fs->c_str());
        }
        break;
    case SaveAsKind::template_file:
        // Templates are saved where the "Templates" menu lists them.
        if (ensure_private_dir(config_paths().templates_dir))
            gtk_file_chooser_set_current_folder(chooser, config_paths().templates_dir.c_str());
        break;
    case SaveAsKind::snippet:
        if (ensure_private_dir(config_paths().snippets_dir))
            gtk_file_chooser_set_current_folder(chooser, config_paths().snippets_dir.c_str());
        break;
    }
}

void on_plus_clicked(GtkButton*, gpointer) {
    indicator_ok();
}

// The row below the file chooser, as the open dialog has it.
GtkWidget* extra_area() {
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
    gtk_box_pack_start(GTK_BOX(box), gtk_label_new(_("Marque page")), FALSE, FALSE, 0);
    GtkWidget* plus = gtk_button_new_with_label(_("+"));
    g_signal_connect(plus, "clicked", G_CALLBACK(on_plus_clicked), nullptr);
    gtk_box_pack_start(GTK_BOX(box), plus, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), gtk_label_new(_("Encodage: ")), FALSE, FALSE, 0);
    gtk_widget_show_all(box);
    return box;
}

// The chosen file as a UTF-8 path, or none when the user did not accept.
std::optional<std::string> run_save_dialog(SaveAsKind kind, const DocumentPage& page) {
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        _("Sauvegarde sous..."), main_window(), GTK_FILE_CHOOSER_ACTION_SAVE, kStockCancel,
        GTK_RESPONSE_CANCEL, kStockSave, GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    gtk_file_chooser_set_local_only(chooser, TRUE);
    gtk_file_chooser_set_extra_widget(chooser, extra_area());
    set_first_folder(chooser, kind, page);

    std::optional<std::string> chosen;
    while (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        GCharPtr file(gtk_file_chooser_get_filename(chooser));
        if (!file) continue;
        auto utf8 = to_utf8_path(file.get());
        if (!utf8) {
            log_icon_error();
            log_message(_("Le nom %s ne peut pas être lu en UTF-8"), file.get(), LM_ERROR);
            break;
        }
        if (settings().prompt_on_file_exists && g_file_test(file.get(), G_FILE_TEST_EXISTS) &&
            !ask_confirmation(GTK_WINDOW(dialog), _("%s il existe voulez vous le remplacer?"),
                              *utf8))
            break;
        chosen = std::move(*utf8);
        break;
    }
    gtk_widget_destroy(dialog);
    return chosen;
}

std::string base_name(const std::string& path) {
    GCharPtr base(g_path_get_basename(path.c_str()));
    return base.get();
}

} // namespace

bool make_backup(const std::string& path, bool only_when_enabled) {
    if (only_when_enabled && !settings().do_backup) return true;
    const auto fs_path = to_filesystem_encoding(path);
    if (!fs_path || !g_file_test(fs_path->c_str(), G_FILE_TEST_EXISTS)) return true;
    const std::string backup = path + ".bak";
    if (file_copy(*fs_path, *fs_path + ".bak")) {
        log_icon_ok();
        log_message(_("%s est créé"), backup, LM_NORMAL);
        return true;
    }
    log_icon_not_saved();
    indicator_not_saved();
    log_message(_("Ne peut pas faire de sauvegarde pour %s"), path, LM_ERROR);
    return false;
}

bool save_page_to(DocumentPage& page, const std::string& path) {
    const auto fs_path = to_filesystem_encoding(path);
    if (!fs_path) return false;
    if (is_rtf_path(path)) {
        log_icon_not_saved();
        log_message(_("Orvane can't save RTF. Because."), LM_ERROR);
        return false;
    }
    if (g_file_test(fs_path->c_str(), G_FILE_TEST_EXISTS)) {
        if (g_access(fs_path->c_str(), W_OK) != 0) {
            refuse(page);
            log_message(_("%s n'est pas accessible en écriture pour vous!"), path, LM_ERROR);
            return false;
        }
        if (g_file_test(fs_path->c_str(), G_FILE_TEST_IS_DIR)) {
            refuse(page);
            log_message(_("Et comment je peux enregistrer ce fichier texte comme un répertoire?!"),
                        LM_ERROR);
            return false;
        }
    }

    // A version or another copy leaves the page as out of step with its own
    // file as it was.
    const bool own_file = path == page.path;
    if (own_file && !may_overwrite(page, path, *fs_path)) return false;

    const bool ok = write_page_text(page, path, *fs_path);
    if (ok && own_file) page.disk_stamp = file_stamp_of(*fs_path);

    if (auto line = reload_hook_run(*fs_path)) {
        log_icon_info();
        log_message(*line, LM_NORMAL);
    }
    if (std::string mode = highlight_mode_of_file(page.path); !mode.empty())
        page.highlight_mode = mode;
    if (ok && own_file) gtk_text_buffer_set_modified(GTK_TEXT_BUFFER(page.buffer.get()), FALSE);
    document_saved(page);
    if (ok && own_file) show_saved_indicator(page);
    return ok;
}

bool save_page_as(DocumentPage& page, const std::string& path, const std::string& charset) {
    // The user chose this file (and agreed to replace it): what the page knew
    // of its old file says nothing about it.
    page.path = path;
    page.encoding = charset;
    page.disk_stamp.reset();
    if (!save_page(page)) {
        log_icon_error();
        indicator_not_saved();
        log_message(_("error de la sauvegarde %s!!!"), path, LM_ERROR);
        status_message(_("Save [ERROR]"));
        notify_user(_("Save [ERROR]"));
        return false;
    }
    page.is_file = true;
    if (page.tab_label) gtk_label_set_text(GTK_LABEL(page.tab_label), base_name(path).c_str());
    show_page_state(&page);
    const auto fs_path = to_filesystem_encoding(path).value_or(path);
    if (fs_path.find(config_paths().snippets_dir) != std::string::npos) menu_rebuild_snippets();
    if (fs_path.find(config_paths().templates_dir) != std::string::npos) menu_rebuild_templates();
    rebuild_open_documents_menu();
    return true;
}

namespace {
bool save_as_dialog_for(DocumentPage& page, SaveAsKind kind) {
    // Save-as writes in the charset chosen for saving, whatever the file was read in.
    const std::string charset = settings().def_filesave_charset;
    set_pending_open_charset(charset);
    auto chosen = run_save_dialog(kind, page);
    if (!chosen) return false;
    return save_page_as(page, *chosen, charset);
}
} // namespace

bool save_as_dialog(SaveAsKind kind) {
    DocumentPage* page = current_document();
    return page && save_as_dialog_for(*page, kind);
}

bool save_new_page(DocumentPage& page) {
    set_language_from_mode(page);
    return save_as_dialog_for(page, SaveAsKind::plain);
}

void save_current_document() {
    indicator_ok();
    DocumentPage* page = current_document();
    if (!page) return;
    if (!page->is_file) {
        if (save_new_page(*page)) report_save_ok(page->path);
        return;
    }
    if (save_page(*page)) {
        log_icon_saved();
        report_save_ok(page->path);
    } else {
        status_message(_("Save [ERROR]"));
    }
}

void save_current_document_as() {
    save_as_dialog(SaveAsKind::plain);
}

void save_version_command() {
    DocumentPage* page = current_document();
    if (!page) return;
    const auto fs_path = to_filesystem_encoding(page->path);
    if (!fs_path || !g_file_test(fs_path->c_str(), G_FILE_TEST_EXISTS)) {
        log_icon_error();
        log_message(_("Sauvegardez le fichier avant..."), LM_ADVICE);
        return;
    }
    const std::string version = version_file_path(page->path, std::time(nullptr));
    if (!save_page_to(*page, version)) return;
    log_icon_saved();
    indicator_saved();
    // The activity indicator says a file was written; the tab still says
    // whether the page's own file holds its text.
    if (gtk_text_buffer_get_modified(GTK_TEXT_BUFFER(page->buffer.get())))
        hide_saved_indicator(*page);
    log_message(_("%s Sauvegarde OK..."), version, LM_NORMAL);
    status_message(_("Save [OK]"));
}

void backup_command() {
    if (DocumentPage* page = current_document()) make_backup(page->path, false);
}

void revert_command() {
    DocumentPage* page = current_document();
    if (!page) return;
    const auto fs_path = to_filesystem_encoding(page->path);
    if (!fs_path || !g_file_test(fs_path->c_str(), G_FILE_TEST_EXISTS)) return;
    auto stamp = file_stamp_of(*fs_path);
    if (reload_with_charset(*page, *fs_path, page->encoding)) {
        // The buffer holds the file's text again.
        page->disk_stamp = stamp;
        gtk_text_buffer_set_modified(GTK_TEXT_BUFFER(page->buffer.get()), FALSE);
        show_saved_indicator(*page);
        log_icon_ok();
        log_message(_("%s est rechargé"), page->path, LM_NORMAL);
    } else {
        log_icon_error();
        log_message(_("Je ne peux pas recharger %s"), page->path, LM_ERROR);
    }
}

void save_register() {
    set_page_saver(page_saver);
    // The same reaction start-up registers, so that a window built without the
    // program's start-up (tests) reloads the settings too; the open pages follow
    // through the settings' apply hooks.
    reload_hook_set(ConfigFile::rc, config_reload_and_apply);
    // Hot keys are read at start only.
    reload_hook_set(ConfigFile::hotkeys, nullptr);
}
