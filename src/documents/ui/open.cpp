#include "documents/ui/open.h"

#include <glib/gi18n-lib.h>
#include <gtksourceview/gtksource.h>
#include <unistd.h>

#include "documents/charset_detect.h"
#include "documents/charset_list.h"
#include "documents/file_open_rules.h"
#include "documents/file_stamp.h"
#include "documents/language_words.h"
#include "documents/large_file_policy.h"
#include "documents/path_helpers.h"
#include "documents/rtf_text.h"
#include "documents/safe_write.h"
#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_events.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "documents/ui/documents.h"
#include "documents/ui/highlighting.h"
#include "documents/ui/page_loading.h"
#include "documents/ui/picture_window.h"
#include "documents/word_files.h"
#include "shell/commands.h"
#include "shell/config_dir.h"
#include "shell/data_paths.h"
#include "shell/gobj.h"
#include "shell/lines.h"
#include "shell/settings.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"

namespace {

// No page is made from a file larger than this.
constexpr std::size_t kOpenMaxBytes = std::size_t{1} << 30;

// The whole file; the bytes are not copied again.
struct FileBytes {
    std::string data;
    std::string_view view() const { return data; }
};

// Only a regular file is read: a FIFO or a device would hold up the window.
std::optional<FileBytes> read_whole_file(const std::string& path) {
    auto data = file_read_regular(path, kOpenMaxBytes);
    if (!data) return std::nullopt;
    return FileBytes{std::move(*data)};
}

bool exists(const std::string& path) {
    return g_file_test(path.c_str(), G_FILE_TEST_EXISTS);
}

// File names go into the log as UTF-8 whatever the file system's encoding.
std::string display_name(const std::string& path) {
    GCharPtr name(g_filename_display_name(path.c_str()));
    return name.get();
}

void log_error(const char* format, const std::string& path) {
    log_icon_error();
    log_message(format, display_name(path), LM_ERROR);
}

std::string utf8_path(const std::string& path) {
    return to_utf8_path(path).value_or(display_name(path));
}

std::string base_name(const std::string& path) {
    GCharPtr base(g_path_get_basename(path.c_str()));
    return base.get();
}

// Text read from a file is where the page starts, not something to undo.
void set_text_not_undoable(DocumentPage& page, const std::string& text) {
    GtkSourceBuffer* source = page.buffer.get();
    gtk_source_buffer_begin_not_undoable_action(source);
    gtk_text_buffer_set_text(GTK_TEXT_BUFFER(source), text.data(), static_cast<gint>(text.size()));
    gtk_source_buffer_end_not_undoable_action(source);
}

void cursor_to_start(DocumentPage& page) {
    GtkTextBuffer* buffer = GTK_TEXT_BUFFER(page.buffer.get());
    GtkTextIter start;
    gtk_text_buffer_get_start_iter(buffer, &start);
    gtk_text_buffer_place_cursor(buffer, &start);
}

void bind_to_file(DocumentPage& page, const std::string& path) {
    page.path = utf8_path(path);
    page.is_file = true;
    if (page.tab_label) gtk_label_set_text(GTK_LABEL(page.tab_label), base_name(page.path).c_str());
    apply_editor_settings(page);
    cursor_to_start(page);
}

// The word list of the file's language, in a source view that is never shown
// but lives in the tab head as long as the page. The view is there whether or
// not a list applies, as every opened page has one.
void add_language_words(DocumentPage& page) {
    if (!page.tab_head) return;
    GtkWidget* hidden = gtk_source_view_new();
    gtk_box_pack_start(GTK_BOX(page.tab_head), hidden, FALSE, TRUE, 0);
    gtk_box_reorder_child(GTK_BOX(page.tab_head), hidden, 0);
    auto words = language_words_for(page.path);
    if (!words || !page.view) return;
    auto bytes = read_whole_file(word_file_path(words->file_name));
    if (!bytes) return;
    const std::string text = word_file_text(bytes->view());
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(hidden));
    gtk_text_buffer_set_text(buffer, text.data(), static_cast<gint>(text.size()));

    // The completion keeps the provider, and the provider the buffer, while the
    // page's view lives.
    GObjectPtr<GtkSourceCompletionWords> provider(
        gtk_source_completion_words_new(words->provider_name.c_str(), nullptr));
    gtk_source_completion_words_register(provider.get(), buffer);
    GtkSourceCompletion* completion = gtk_source_view_get_completion(GTK_SOURCE_VIEW(page.view));
    gtk_source_completion_add_provider(completion, GTK_SOURCE_COMPLETION_PROVIDER(provider.get()),
                                       nullptr);
    g_object_set(provider.get(), "priority", 10, nullptr);
}

DocumentPage* open_rtf(const std::string& path) {
    auto stamp = file_stamp_of(path);
    auto bytes = read_whole_file(path);
    if (!bytes) return nullptr;
    auto text = rtf_extract_text(bytes->view(), settings().rtf_enc);
    if (!text) return nullptr;
    DocumentPage* page = new_document_page();
    if (!page) return nullptr;
    page->disk_stamp = stamp;
    set_text_not_undoable(*page, *text);
    bind_to_file(*page, path);
    gtk_text_buffer_set_modified(GTK_TEXT_BUFFER(page->buffer.get()), FALSE);
    log_icon_ok();
    log_message(_("%s est ouvert"), page->path, LM_NORMAL);
    rebuild_open_documents_menu();
    // Without this the tab stays hidden behind the start page.
    update_editor_area();
    return page;
}

std::string current_charset() {
    DocumentPage* page = current_document();
    return page ? page->encoding : settings().default_charset;
}

void switch_to_tab(int index) {
    if (GtkWidget* notebook = editor_notebook())
        gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), index);
}

// Reads the file in `charset`; the charset found for the autodetect names.
std::optional<DecodedText> read_in_charset(const std::string& path, const std::string& charset) {
    auto bytes = read_whole_file(path);
    if (!bytes) return std::nullopt;
    return decode_file_bytes(bytes->view(), charset, charset_detect_flags(settings()));
}

void replace_text(DocumentPage& page, const std::string& text) {
    page_finish_loading(page);
    GtkTextBuffer* buffer = GTK_TEXT_BUFFER(page.buffer.get());
    gtk_text_buffer_begin_user_action(buffer);
    gtk_text_buffer_set_text(buffer, text.data(), static_cast<gint>(text.size()));
    gtk_text_buffer_end_user_action(buffer);
}

// Only the accept response opens; every chosen file is returned.
std::vector<std::string> run_chooser(GtkWidget* dialog) {
    std::vector<std::string> files;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        GSList* names = gtk_file_chooser_get_filenames(GTK_FILE_CHOOSER(dialog));
        for (GSList* l = names; l; l = l->next) {
            files.emplace_back(static_cast<char*>(l->data));
            g_free(l->data);
        }
        g_slist_free(names);
    }
    gtk_widget_destroy(dialog);
    return files;
}

// Stock button ids: the toolkit translates their labels itself.
constexpr const char* kStockCancel = "gtk-cancel";
constexpr const char* kStockOpen = "gtk-open";

GtkWidget* chooser_dialog(const char* title) {
    return gtk_file_chooser_dialog_new(title, main_window(), GTK_FILE_CHOOSER_ACTION_OPEN,
                                       kStockCancel, GTK_RESPONSE_CANCEL, kStockOpen,
                                       GTK_RESPONSE_ACCEPT, nullptr);
}

// The snippet, template and session choosers: one file, read as UTF-8.
void open_from_folder(const std::string& folder, const char* title) {
    GtkWidget* dialog = chooser_dialog(title);
    gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(dialog), folder.c_str());
    set_pending_charset(std::string("UTF-8"));
    for (const auto& file : run_chooser(dialog))
        open_and_show(file);
}

void on_bookmark_plus(GtkButton*, gpointer) {
    indicator_ok();
}

GtkWidget* open_dialog_extra_area() {
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
    GtkWidget* plus = gtk_button_new_with_label("+");
    g_signal_connect(plus, "clicked", G_CALLBACK(on_bookmark_plus), nullptr);
    gtk_box_pack_start(GTK_BOX(box), gtk_label_new(_("Marque page")), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), plus, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), gtk_label_new(_("Encodage: ")), FALSE, FALSE, 0);
    gtk_widget_show_all(box);
    return box;
}

void open_at_cursor_with(bool picture_to_editor) {
    DocumentPage* page = current_document();
    if (!page) return;
    if (auto path = doc_path_at_cursor(page)) open_or_switch(*path, picture_to_editor);
}

} // namespace

void set_pending_charset(std::optional<std::string> charset) {
    set_pending_open_charset(std::move(charset));
}

DocumentPage* open_file(const std::string& requested) {
    if (requested.empty()) return nullptr;
    if (!exists(requested)) {
        log_error(_("%s n'existe pas!"), requested);
        return nullptr;
    }
    if (access(requested.c_str(), R_OK) != 0) {
        log_error(_("Vous n'avez pas les droits pour %s"), requested);
        return nullptr;
    }
    std::string path = requested;
    if (g_file_test(path.c_str(), G_FILE_TEST_IS_SYMLINK)) {
        // The kernel reads a relative target from the link's own folder, and so
        // must we: the working directory is unrelated to where the link lies.
        path = write_target_of(path);
        if (access(path.c_str(), R_OK) != 0) {
            log_error(_("Vous n'avez pas les droits pour %s"), path);
            return nullptr;
        }
    }

    switch (open_route_for(path)) {
    case OpenRoute::preview_only:
        document_preview(path);
        return nullptr;
    case OpenRoute::preview_and_text:
        document_preview(path);
        break;
    case OpenRoute::rtf:
        return open_rtf(path);
    case OpenRoute::text:
        break;
    }

    // Taken before the bytes are read: a change made meanwhile is one the page has not seen.
    auto stamp = file_stamp_of(path);
    auto bytes = read_whole_file(path);
    if (!bytes) return nullptr;
    DocumentPage* page = new_document_page();
    if (!page) return nullptr;
    const std::string charset = pending_open_charset().value_or(settings().default_charset);
    auto decoded = decode_file_bytes(bytes->view(), charset, charset_detect_flags(settings()));
    bytes.reset();
    if (!decoded) {
        close_page_at_index(index_of_page(page));
        update_editor_area();
        log_error(_("Désolé, mais je ne peux pas déterminer le jeu de caractères %s. Essayer de "
                    "nouveau et sélectionnez-le manuellement."),
                  path);
        return nullptr;
    }
    page->encoding = decoded->encoding;
    page->disk_stamp = stamp;
    const std::uint64_t size = decoded->text.size();
    // Before any text: a provider registered on the buffer indexes what comes in.
    set_page_features(*page, page_features_for_size(size));
    // A long text goes in from its start; the rest follows between the frames.
    page_load_text(*page, std::move(decoded->text));
    decoded.reset();

    bind_to_file(*page, path);
    if (std::string mode = highlight_mode_of_file(page->path); !mode.empty())
        page->highlight_mode = mode;
    log_icon_ok();
    log_message(_("%s est ouvert"), page->path, LM_NORMAL);
    if (std::string notice = large_file_notice(page->features, size); !notice.empty()) {
        log_icon_info();
        log_message(notice, LM_NORMAL);
    }

    gtk_text_buffer_set_modified(GTK_TEXT_BUFFER(page->buffer.get()), FALSE);
    rebuild_open_documents_menu();
    update_editor_area();
    if (page->saved_indicator) gtk_widget_show(page->saved_indicator);
    // Once: a language set twice is parsed and compiled twice, a third of a
    // second for PHP with its HTML, CSS and script.
    if (page->features.highlighting) set_language_from_mode(*page);
    // The symbol list and the link scan read the whole text.
    page_after_loading(*page, document_opened);
    if (GtkWindow* window = main_window()) gtk_window_set_title(window, page->path.c_str());

    add_language_words(*page);
    notify_user(_("Le fichier est ouvert et disponible dans l'onglet Editor"));
    return page;
}

DocumentPage* open_and_show(const std::string& path) {
    DocumentPage* page = open_file(path);
    rebuild_open_documents_menu();
    show_page_state(page);
    current_document();
    return page;
}

void open_or_switch(const std::string& path, bool picture_to_editor) {
    if (path.empty()) return;
    if (int index = index_of_path(path); index >= 0) {
        switch_to_tab(index);
        return;
    }
    // The pages' paths are UTF-8; the files are reached by their file-system names.
    const auto fs_path = to_filesystem_encoding(path);
    if (!fs_path || !exists(*fs_path)) return;
    if (is_picture_path(path)) {
        if (!picture_to_editor && settings().use_ext_image_viewer == 0)
            picture_window_show(*fs_path);
        else
            run_shell_sync(shell_fill_command(settings().ext_pic_editor, *fs_path));
        return;
    }
    set_pending_charset(current_charset());
    open_and_show(*fs_path);
}

void open_or_switch(const std::string& path) {
    open_or_switch(path, false);
}

DocumentPage* open_path_with_charset(const std::string& path, const std::string& charset) {
    if (int index = index_of_path(utf8_path(path)); index >= 0) {
        switch_to_tab(index);
        return page_at_index(index);
    }
    if (!exists(path)) return nullptr;
    set_pending_charset(charset);
    return open_and_show(path);
}

bool reload_with_charset(DocumentPage& page, const std::string& path, const std::string& charset) {
    auto decoded = read_in_charset(path, charset);
    if (!decoded) return false;
    replace_text(page, decoded->text);
    return true;
}

bool reload_current_document(const std::string& charset) {
    DocumentPage* page = current_document();
    if (!page) return false;
    const auto path = to_filesystem_encoding(page->path);
    if (!path) return false;
    auto stamp = file_stamp_of(*path);
    auto decoded = read_in_charset(*path, charset);
    if (!decoded) return false;
    replace_text(*page, decoded->text);
    page->disk_stamp = stamp;
    // "autodetect" is no charset to write in: the page keeps the one found.
    page->encoding = decoded->encoding;
    return true;
}

void open_file_dialog() {
    GtkWidget* dialog = chooser_dialog(_("File open"));
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    gtk_file_chooser_set_local_only(chooser, TRUE);
    gtk_file_chooser_set_select_multiple(chooser, TRUE);
    const Settings& s = settings();
    if (s.use_def_open_dir != 0) {
        gtk_file_chooser_set_current_folder(chooser, s.def_open_dir.c_str());
    } else if (DocumentPage* page = current_document()) {
        if (auto fs_path = to_filesystem_encoding(page->path); fs_path && exists(*fs_path)) {
            GCharPtr folder(g_path_get_dirname(fs_path->c_str()));
            gtk_file_chooser_set_current_folder(chooser, folder.get());
        }
    }
    gtk_file_chooser_set_extra_widget(chooser, open_dialog_extra_area());
    set_pending_charset(s.default_charset);
    for (const auto& file : run_chooser(dialog))
        open_and_show(file);
}

DocumentPage* open_chosen_file(const std::string& path) {
    set_pending_charset(settings().default_charset);
    return open_file(path);
}

void open_snippet_dialog() {
    open_from_folder(config_paths().snippets_dir, _("Open file:"));
}

void open_template_dialog() {
    open_from_folder(config_paths().templates_dir, _("Open file:"));
}

void open_session_file_dialog() {
    open_from_folder(config_paths().sessions_dir, _("Ouverture du fichier de session:"));
}

void open_config_file(const std::string& path) {
    set_pending_charset(std::string("UTF-8"));
    open_and_show(path);
}

void open_user_menu_file() {
    const std::string& path = config_paths().user_menu;
    if (!exists(path)) string_to_file(path, kDefaultUserMenu);
    open_config_file(path);
}

void open_at_cursor() {
    open_at_cursor_with(false);
}

void edit_at_cursor() {
    open_at_cursor_with(true);
}

void switch_header_source() {
    DocumentPage* page = current_document();
    if (!page) return;
    auto exists_utf8 = [](const std::string& path) {
        auto fs_path = to_filesystem_encoding(path);
        return fs_path && exists(*fs_path);
    };
    auto other = header_source_counterpart(page->path, exists_utf8);
    if (other && exists_utf8(*other)) open_or_switch(*other, false);
}
