#include "documents/ui/document_page.h"

#include <algorithm>
#include <glib/gi18n-lib.h>
#include <memory>
#include <vector>

#include "documents/document_names.h"
#include "documents/path_helpers.h"
#include "documents/position_entry.h"
#include "documents/recent_files.h"
#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_menus.h"
#include "documents/ui/save.h"
#include "documents/ui/typing.h"
#include "documents/word_files.h"
#include "shell/config_dir.h"
#include "shell/settings.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"

namespace {

struct Documents {
    std::vector<std::unique_ptr<DocumentPage>> pages;
    DocumentPage* current = nullptr;
    int previous_tab = -1;
    int counter = 0;
    // The notebook the pages live in; cleared by GTK when it is destroyed.
    GtkWidget* notebook = nullptr;
    PageSaver saver = nullptr;
};

Documents& docs() {
    static Documents d;
    return d;
}

void on_editor_switch_page(GtkNotebook* notebook, GtkWidget*, guint page_num, gpointer) {
    DocumentPage* page = page_at_index(static_cast<int>(page_num));
    if (!page) return;
    docs().current = page;
    show_page_state(page);
    if (page->view) gtk_widget_grab_focus(page->view);
    // Still the tab that was current: the notebook switches after its handlers.
    docs().previous_tab = gtk_notebook_get_current_page(notebook);
}

// The pages belong to one editor notebook. When the main window was destroyed
// and built again (tests do that), records of the old one are dropped.
GtkWidget* attach_notebook() {
    GtkWidget* notebook = editor_notebook();
    auto& d = docs();
    if (!notebook) return nullptr;
    if (d.notebook == notebook) return notebook;
    if (d.notebook)
        g_object_remove_weak_pointer(G_OBJECT(d.notebook),
                                     reinterpret_cast<gpointer*>(&d.notebook));
    d.pages.clear();
    d.current = nullptr;
    d.previous_tab = -1;
    d.notebook = notebook;
    g_object_add_weak_pointer(G_OBJECT(notebook), reinterpret_cast<gpointer*>(&d.notebook));
    g_signal_connect(notebook, "switch-page", G_CALLBACK(on_editor_switch_page), nullptr);
    return notebook;
}

void on_saved_state(bool visible) {
    DocumentPage* page = current_document();
    if (!page || !page->saved_indicator) return;
    if (!visible)
        gtk_widget_hide(page->saved_indicator);
    else if (!is_noname(page->path))
        gtk_widget_show(page->saved_indicator);
}

// Any new text puts the page out of step with its file.
void on_insert_text(GtkTextBuffer*, GtkTextIter*, gchar*, gint, gpointer data) {
    auto* page = static_cast<DocumentPage*>(data);
    if (page->saved_indicator && gtk_widget_get_visible(page->saved_indicator))
        gtk_widget_hide(page->saved_indicator);
}

void on_close_button(GtkButton*, gpointer data) {
    auto* page = static_cast<DocumentPage*>(data);
    const auto& pages = docs().pages;
    auto it =
        std::find_if(pages.begin(), pages.end(), [page](const auto& p) { return p.get() == page; });
    if (it == pages.end()) return;
    indicator_ok();
    close_page_at_index(static_cast<int>(it - pages.begin()));
    update_editor_area();
}

// Once the window is gone only the record and its buffer remain.
void on_page_widget_destroy(GtkWidget*, gpointer data) {
    auto* page = static_cast<DocumentPage*>(data);
    page->saved_indicator = nullptr;
    page->tab_label = nullptr;
    page->close_button = nullptr;
    page->tab_head = nullptr;
    page->page_widget = nullptr;
    page->view = nullptr;
}

constexpr guint kWordScanBatchLines = 2000;

void add_words_provider(GtkSourceCompletion* completion, GtkSourceCompletionWords* words,
                        GtkTextBuffer* buffer) {
    // The provider reads the buffer's words from idle time, 50 lines at a
    // time by default: a large file kept the program busy for half a minute
    // after opening. Bigger batches read the same words in far fewer rounds.
    g_object_set(words, "scan-batch-size", kWordScanBatchLines, nullptr);
    gtk_source_completion_words_register(words, buffer);
    gtk_source_completion_add_provider(completion, GTK_SOURCE_COMPLETION_PROVIDER(words), nullptr);
    g_object_set(words, "priority", 10, nullptr);
}

void set_up_completion(DocumentPage& page) {
    GtkSourceCompletion* completion = gtk_source_view_get_completion(GTK_SOURCE_VIEW(page.view));
    page.own_words.reset(gtk_source_completion_words_new(nullptr, nullptr));
    add_words_provider(completion, page.own_words.get(), GTK_TEXT_BUFFER(page.buffer.get()));

    // The user's word file is read once per page, so edits reach later pages.
    gchar* bytes = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(config_paths().autocomp.c_str(), &bytes, &length, nullptr)) return;
    GCharPtr owned(bytes);
    const std::string words = word_file_text(std::string_view(bytes, length));
    // A buffer without a view is enough to feed a provider.
    page.user_words_buffer.reset(gtk_text_buffer_new(nullptr));
    gtk_text_buffer_insert_at_cursor(page.user_words_buffer.get(), words.data(),
                                     static_cast<gint>(words.size()));
    page.user_words.reset(gtk_source_completion_words_new("My AutoComp", nullptr));
    add_words_provider(completion, page.user_words.get(), page.user_words_buffer.get());
}

void drop_words(DocumentPage& page, GObjectPtr<GtkSourceCompletionWords>& words,
                GtkTextBuffer* buffer) {
    if (!words) return;
    if (page.view)
        gtk_source_completion_remove_provider(
            gtk_source_view_get_completion(GTK_SOURCE_VIEW(page.view)),
            GTK_SOURCE_COMPLETION_PROVIDER(words.get()), nullptr);
    if (buffer) gtk_source_completion_words_unregister(words.get(), buffer);
    words.reset();
}

void release_completion(DocumentPage& page) {
    drop_words(page, page.own_words, GTK_TEXT_BUFFER(page.buffer.get()));
    drop_words(page, page.user_words, page.user_words_buffer.get());
    page.user_words_buffer.reset();
}

// GtkSourceView 3.24 keeps one reference too many on the completion's info
// window, so each closed view would leave that window behind. The page holds
// its own reference across the close; when that and the stray one are all that
// remain once the view is gone, both are dropped. A library that releases the
// window itself leaves only ours.
GObjectPtr<GtkWidget> info_window_of(const DocumentPage& page) {
    if (!page.view) return nullptr;
    GtkSourceCompletion* completion = gtk_source_view_get_completion(GTK_SOURCE_VIEW(page.view));
    GtkSourceCompletionInfo* info = gtk_source_completion_get_info_window(completion);
    return GObjectPtr<GtkWidget>(info ? GTK_WIDGET(g_object_ref(info)) : nullptr);
}

bool is_toplevel(GtkWidget* window) {
    GList* toplevels = gtk_window_list_toplevels();
    const bool found = g_list_find(toplevels, window) != nullptr;
    g_list_free(toplevels);
    return found;
}

void drop_stray_reference(GObjectPtr<GtkWidget> info) {
    if (!info) return;
    // Destroyed windows leave the toplevel list; ours and the stray one remain.
    if (G_OBJECT(info.get())->ref_count == 2 && !is_toplevel(info.get()))
        g_object_unref(info.get());
}

void build_tab_head(DocumentPage& page) {
    page.tab_label = gtk_label_new("");
    page.tab_head = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_widget_set_can_focus(page.tab_label, FALSE);
    gtk_widget_set_can_focus(page.tab_head, FALSE);
    page.close_button = gtk_button_new_with_label(_("x"));
    gtk_widget_set_can_focus(page.close_button, FALSE);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    page.saved_indicator = gtk_image_new_from_stock("gtk-save", GTK_ICON_SIZE_MENU);
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_box_pack_start(GTK_BOX(page.tab_head), page.saved_indicator, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(page.tab_head), page.tab_label, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(page.tab_head), page.close_button, FALSE, FALSE, 0);
    gtk_widget_show(page.saved_indicator);
    gtk_widget_show(page.tab_head);
    gtk_widget_show(page.tab_label);
    g_signal_connect(page.close_button, "clicked", G_CALLBACK(on_close_button), &page);
}

void set_style_scheme(DocumentPage& page) {
    // The default manager caches the parsed schemes for every page.
    GtkSourceStyleSchemeManager* manager = gtk_source_style_scheme_manager_get_default();
    const std::string id = read_theme_name(config_paths().theme);
    if (GtkSourceStyleScheme* scheme =
            gtk_source_style_scheme_manager_get_scheme(manager, id.c_str()))
        gtk_source_buffer_set_style_scheme(page.buffer.get(), scheme);
}

// The scrapbook tab is written back without a question; the file is replaced
// whole, so a failed write leaves the previous content.
void write_scrapbook(const DocumentPage& page, const std::string& path) {
    const std::string text = doc_get_text(GTK_TEXT_BUFFER(page.buffer.get()));
    GCharPtr target(g_file_read_link(path.c_str(), nullptr));
    std::string destination = path;
    if (target) destination = resolve_path(target.get(), folder_of(path).value_or(""));
    g_file_set_contents(destination.c_str(), text.data(), static_cast<gssize>(text.size()),
                        nullptr);
}

void hand_over_to_recent(const DocumentPage& page, const std::string& fs_path) {
    // Only a real file: a new document's name is not a path in any folder.
    if (!g_path_is_absolute(fs_path.c_str()) || !g_file_test(fs_path.c_str(), G_FILE_TEST_EXISTS))
        return;
    auto entry = format_position_entry({page.path, page.encoding, doc_get_cursor_offset(&page)});
    if (entry) position_list_add(recent_files(), *entry, settings().max_recent_items);
}

// Text that closing the page would lose: a file's unsaved changes, or
// whatever a page that was never saved holds.
bool has_unsaved_text(const DocumentPage& page) {
    GtkTextBuffer* buffer = GTK_TEXT_BUFFER(page.buffer.get());
    if (page.is_file) return gtk_text_buffer_get_modified(buffer);
    return gtk_text_buffer_get_char_count(buffer) > 0;
}

bool is_scrapbook(const DocumentPage& page) {
    const auto fs_path = to_filesystem_encoding(page.path);
    return fs_path && *fs_path == config_paths().crapbook;
}

bool needs_question(const DocumentPage& page) {
    return settings().prompt_on_not_saved && !page.changes_given_up && !is_scrapbook(page) &&
           has_unsaved_text(page);
}

// The unsaved-changes question; true when the page may go: the user said OK
// and the page was saved (a page never saved through the save-as dialog), or
// chose to close without saving.
bool ask_and_save(DocumentPage& page) {
    switch (ask_save_changes(main_window(),
                             _("%s est modifié mais pas sauvegardé, le sauvegarder?"), page.path)) {
    case SaveChoice::save:
        return page.is_file ? save_page(page) : save_new_page(page);
    case SaveChoice::discard:
        // Quitting closes the page later: it is not asked about twice.
        page.changes_given_up = true;
        return true;
    case SaveChoice::cancel:
        break;
    }
    return false;
}

// `may_stay`: a page whose text the question did not make safe stays open; at
// exit nothing can stay.
bool close_page(int index, bool may_stay) {
    DocumentPage* page = page_at_index(index);
    if (!page) return true;
    auto& d = docs();
    if (needs_question(*page) && !ask_and_save(*page) && may_stay && page->page_widget)
        return false;
    // The question ran the main loop: the page may have moved meanwhile.
    index = index_of_page(page);
    if (page_at_index(index) != page) return true;
    const auto fs_path = to_filesystem_encoding(page->path);
    const bool scrapbook = fs_path && *fs_path == config_paths().crapbook;

    log_icon_info();
    log_message(_("%s est fermé"), page->path, LM_NORMAL);
    std::unique_ptr<DocumentPage> owned = std::move(d.pages[static_cast<std::size_t>(index)]);
    d.pages.erase(d.pages.begin() + index);
    if (d.current == owned.get()) d.current = nullptr;

    if (scrapbook)
        write_scrapbook(*owned, *fs_path);
    else if (fs_path)
        hand_over_to_recent(*owned, *fs_path);
    rebuild_open_documents_menu();

    GObjectPtr<GtkWidget> info = info_window_of(*owned);
    release_completion(*owned);
    if (owned->page_widget && d.notebook) {
        int num = gtk_notebook_page_num(GTK_NOTEBOOK(d.notebook), owned->page_widget);
        if (num >= 0) gtk_notebook_remove_page(GTK_NOTEBOOK(d.notebook), num);
    }
    drop_stray_reference(std::move(info));
    menu_rebuild_recent_files(false);
    return true;
}

} // namespace

DocumentPage::~DocumentPage() {
    if (buffer) g_signal_handlers_disconnect_by_data(buffer.get(), this);
    if (page_widget) g_signal_handlers_disconnect_by_data(page_widget, this);
    if (view) g_signal_handlers_disconnect_by_data(view, this);
}

DocumentPage* current_document() {
    GtkWidget* notebook = editor_notebook();
    int index = notebook ? gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)) : -1;
    docs().current = page_at_index(index);
    return docs().current;
}

DocumentPage* current_page() {
    return docs().current;
}

int document_count() {
    return static_cast<int>(docs().pages.size());
}

DocumentPage* page_at_index(int index) {
    const auto& pages = docs().pages;
    if (index < 0 || index >= static_cast<int>(pages.size())) return nullptr;
    return pages[static_cast<std::size_t>(index)].get();
}

int index_of_path(const std::string& path) {
    const auto& pages = docs().pages;
    for (std::size_t i = 0; i < pages.size(); ++i)
        if (pages[i]->path == path) return static_cast<int>(i);
    return -1;
}

int index_of_page(const DocumentPage* page) {
    const auto& pages = docs().pages;
    for (std::size_t i = 0; i < pages.size(); ++i)
        if (pages[i].get() == page) return static_cast<int>(i);
    return static_cast<int>(pages.size()) - 1;
}

DocumentPage* create_page() {
    GtkWidget* notebook = attach_notebook();
    if (!notebook) return nullptr;
    const Settings& s = settings();
    indicator_set_saved_hook(on_saved_state);

    auto owned = std::make_unique<DocumentPage>();
    DocumentPage& page = *owned;
    page.page_widget = gtk_scrolled_window_new(nullptr, nullptr);
    page.buffer.reset(gtk_source_buffer_new(nullptr));
    page.view = gtk_source_view_new_with_buffer(page.buffer.get());
    GtkSourceView* view = GTK_SOURCE_VIEW(page.view);
    gtk_source_view_set_highlight_current_line(view, TRUE);
    gtk_source_view_set_show_right_margin(view, TRUE);
    if (s.use_infotext == 1) {
        GtkSourceSpaceDrawer* drawer = gtk_source_view_get_space_drawer(view);
        gtk_source_space_drawer_set_types_for_locations(drawer, GTK_SOURCE_SPACE_LOCATION_ALL,
                                                        GTK_SOURCE_SPACE_TYPE_ALL);
        gtk_source_space_drawer_set_enable_matrix(drawer, TRUE);
    }
    set_up_completion(page);
    gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view),
                                s.word_wrap == 1 ? GTK_WRAP_WORD : GTK_WRAP_NONE);
    gtk_container_add(GTK_CONTAINER(page.page_widget), page.view);

    GtkTextBuffer* buffer = GTK_TEXT_BUFFER(page.buffer.get());
    gtk_text_buffer_create_tag(buffer, "search", "foreground", "white", "background", "blue",
                               "weight", 700, nullptr);
    gtk_text_buffer_create_tag(buffer, "err2", "foreground", "black", "background", "pink",
                               "weight", 700, nullptr);
    gtk_text_buffer_create_tag(buffer, "gray_bg", "foreground", "white", "background", "gray",
                               "weight", 700, nullptr);

    build_tab_head(page);
    // The tab's label, which follows the document's name, names its view.
    gtk_label_set_mnemonic_widget(GTK_LABEL(page.tab_label), page.view);
    connect_typing_aids(page);
    g_signal_connect(buffer, "insert-text", G_CALLBACK(on_insert_text), &page);
    g_signal_connect(page.page_widget, "destroy", G_CALLBACK(on_page_widget_destroy), &page);

    docs().pages.push_back(std::move(owned));
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), page.page_widget, page.tab_head);

    gtk_source_view_set_show_line_marks(view, TRUE);
    gtk_source_view_set_show_line_numbers(view, TRUE);
    set_style_scheme(page);

    gtk_widget_show(page.close_button);
    gtk_widget_show(page.view);
    gtk_widget_show(page.page_widget);
    gtk_widget_grab_focus(page.view);
    return &page;
}

DocumentPage* new_document_page() {
    DocumentPage* page = create_page();
    if (!page) return nullptr;
    auto& d = docs();
    d.counter = next_document_number(d.counter);
    page->path = new_document_name(d.counter);
    gtk_label_set_text(GTK_LABEL(page->tab_label), page->path.c_str());
    apply_editor_settings(*page);
    gtk_notebook_set_current_page(GTK_NOTEBOOK(d.notebook), -1);
    return page;
}

namespace {
void present_new_page(DocumentPage& page) {
    if (GtkWindow* window = main_window()) gtk_window_set_title(window, page.path.c_str());
    if (page.view) gtk_widget_grab_focus(page.view);
}
} // namespace

DocumentPage* new_document_command() {
    DocumentPage* page = new_document_page();
    if (!page) return nullptr;
    current_document();
    indicator_ok();
    present_new_page(*page);
    rebuild_open_documents_menu();
    update_editor_area();
    status_message(_("New File [OK]"));
    return page;
}

DocumentPage* new_document_page_with_text(std::string_view text) {
    DocumentPage* page = new_document_page();
    if (!page) return nullptr;
    current_document();
    present_new_page(*page);
    doc_insert_at_cursor(page, text);
    rebuild_open_documents_menu();
    // The new tab must be seen even when the start page was showing.
    update_editor_area();
    return page;
}

bool close_page_at_index(int index) {
    return close_page(index, true);
}

void close_all_pages() {
    while (!docs().pages.empty())
        close_page(0, false);
}

bool pages_may_quit() {
    for (int i = 0; i < document_count(); ++i) {
        DocumentPage* page = page_at_index(i);
        if (!needs_question(*page)) continue;
        // The page asked about is the one shown.
        if (docs().notebook && page->page_widget)
            gtk_notebook_set_current_page(
                GTK_NOTEBOOK(docs().notebook),
                gtk_notebook_page_num(GTK_NOTEBOOK(docs().notebook), page->page_widget));
        if (!ask_and_save(*page)) return false;
    }
    return true;
}

bool save_page(DocumentPage& page) {
    // Saving documents is not wired in yet; until then nothing is written.
    return docs().saver ? docs().saver(page) : false;
}

void set_page_saver(PageSaver saver) {
    docs().saver = saver;
}

void show_page_state(const DocumentPage* page) {
    if (!page || !g_utf8_validate(page->path.c_str(), -1, nullptr)) return;
    if (GtkWindow* window = main_window())
        gtk_window_set_title(
            window, document_window_title(page->path, settings().main_wnd_show_full_path).c_str());
    status_message(page->encoding);
    if (!is_noname(page->path))
        if (auto fs_path = to_filesystem_encoding(page->path))
            if (auto folder = folder_of(*fs_path)) file_panel_set_folder(*folder);
}

void rebuild_open_documents_menu() {
    Lines names;
    for (const auto& page : docs().pages)
        names.push_back(page->path);
    menu_rebuild_open_documents(names);
}

void update_editor_area() {
    editor_area_update(current_document() != nullptr);
}

void apply_editor_settings(DocumentPage& page) {
    if (!page.view) return;
    const Settings& s = settings();
    PangoFontDescription* font = pango_font_description_from_string(s.editor_font.c_str());
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_widget_override_font(page.view, font);
    G_GNUC_END_IGNORE_DEPRECATIONS
    apply_text_colors_to(page.view);

    // One left tab stop as wide as tab_size spaces in the editor font.
    int width = 0;
    if (s.tab_size > 0) {
        const std::string spaces(static_cast<std::size_t>(s.tab_size), ' ');
        GObjectPtr<PangoLayout> layout(gtk_widget_create_pango_layout(page.view, spaces.c_str()));
        pango_layout_set_font_description(layout.get(), font);
        pango_layout_get_pixel_size(layout.get(), &width, nullptr);
    }
    pango_font_description_free(font);
    PangoTabArray* tabs = pango_tab_array_new_with_positions(1, TRUE, PANGO_TAB_LEFT, width);
    gtk_text_view_set_tabs(GTK_TEXT_VIEW(page.view), tabs);
    pango_tab_array_free(tabs);
    gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(page.view),
                                s.word_wrap == 1 ? GTK_WRAP_WORD : GTK_WRAP_NONE);
}

DocumentPage* page_of_buffer(GtkTextBuffer* buffer) {
    for (const auto& page : docs().pages)
        if (buffer && GTK_TEXT_BUFFER(page->buffer.get()) == buffer) return page.get();
    return nullptr;
}

void set_page_features(DocumentPage& page, const PageFeatures& features) {
    page.features = features;
    // The provider reads every word of the text and keeps them all.
    if (!features.word_completion)
        drop_words(page, page.own_words, GTK_TEXT_BUFFER(page.buffer.get()));
}

void goto_recent_tab() {
    auto& d = docs();
    if (d.previous_tab == -1 || !d.notebook) return;
    // The switch handler makes the tab that was current the previous one.
    gtk_notebook_set_current_page(GTK_NOTEBOOK(d.notebook), d.previous_tab);
}

namespace {
GtkNotebook* remember_current_tab() {
    auto& d = docs();
    if (!d.notebook) return nullptr;
    d.previous_tab = gtk_notebook_get_current_page(GTK_NOTEBOOK(d.notebook));
    return GTK_NOTEBOOK(d.notebook);
}
} // namespace

void goto_next_tab() {
    if (GtkNotebook* nb = remember_current_tab()) gtk_notebook_next_page(nb);
}
void goto_previous_tab() {
    if (GtkNotebook* nb = remember_current_tab()) gtk_notebook_prev_page(nb);
}
void goto_first_tab() {
    if (GtkNotebook* nb = remember_current_tab()) gtk_notebook_set_current_page(nb, 0);
}
void goto_last_tab() {
    if (GtkNotebook* nb = remember_current_tab()) gtk_notebook_set_current_page(nb, -1);
}

int previous_tab_index() {
    return docs().previous_tab;
}
