#include "web/ui/mini_web.h"

#include <glib/gi18n-lib.h>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_page.h"
#include "shell/commands.h"
#include "shell/config_dir.h"
#include "shell/ui/report.h"
#include "tools/external_tools.h"
#include "web/product_pages.h"
#include "web/ui/web_tab.h"
#include "web/ui/web_views.h"
#include "web/web_addresses.h"

namespace {

// The history lists and the bookmark file are small; a larger file is not one.
constexpr std::size_t kLargestWebList = 4 * 1024 * 1024;

WebTab panel_tab(WebPanel panel) {
    WebTab tab;
    tab.is_panel = true;
    tab.panel = panel;
    return tab;
}

WebTab& mini_tab() {
    static WebTab tab = panel_tab(WebPanel::mini_web);
    return tab;
}

WebTab& myadmin_tab() {
    static WebTab tab = panel_tab(WebPanel::myadmin_web);
    return tab;
}

GtkWidget* g_picture_buttons = nullptr;
bool g_pictures_shown = false;
Lines g_zuda_history;
Lines g_zuda_bookmarks;

// Forgets `*slot` when the widget goes, as the window's parts do.
void track(GtkWidget*& slot, GtkWidget* widget) {
    slot = widget;
    g_object_add_weak_pointer(G_OBJECT(widget), reinterpret_cast<gpointer*>(&slot));
}

// A tab's history lives as long as its page; a rebuilt page starts a new one.
void new_history(WebTab& tab) {
    if (tab.history) g_object_unref(tab.history);
    tab.history = gtk_list_store_new(1, G_TYPE_STRING);
}

void watch_mini_web(WebPanel, GtkWidget* view) {
    web_tab_watch_view(&mini_tab(), view);
}

void watch_myadmin(WebPanel, GtkWidget* view) {
    web_tab_watch_view(&myadmin_tab(), view);
}

void on_load_url(GtkButton*, gpointer) {
    mini_web_load();
}

void on_load_document(GtkButton*, gpointer) {
    mini_web_load_document();
}

// GIMP gets the path of a file: address, any other address as it stands.
void on_gimp(GtkButton*, gpointer) {
    const std::string address = web_tab_address(mini_tab());
    std::string target = address;
    if (g_ascii_strncasecmp(address.c_str(), "file:", 5) == 0)
        if (auto path = picture_address_name(address)) target = *path;
    if (!program_on_path("gimp")) {
        const char* text = _("Vous devez installer le package gimp pour utiliser la fonction "
                             "edition d'image");
        log_icon_error();
        log_message(text, LM_ERROR);
        status_message(text);
        return;
    }
    if (auto command = gimp_command(target)) run_shell_sync(*command);
}

void on_insert_name(GtkButton*, gpointer) {
    DocumentPage* page = current_document();
    if (!page) return;
    if (auto name = picture_address_name(web_tab_address(mini_tab())))
        doc_insert_at_cursor(page, *name);
}

GtkWidget* text_button(const char* label, const char* name, GCallback handler) {
    GtkWidget* button = gtk_button_new_with_label(label);
    gtk_widget_set_name(button, name);
    g_signal_connect(button, "clicked", handler, nullptr);
    return button;
}

Lines read_web_list(const std::string& path) {
    auto text = file_read_regular(path, kLargestWebList);
    if (!text) return {};
    Lines lines = text_to_lines(*text);
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

void show_pictures(bool shown) {
    g_pictures_shown = shown;
    if (g_picture_buttons) gtk_widget_set_visible(g_picture_buttons, shown);
}

// The controls of the Mini Web and MyAdmin pages are built when the page is
// first shown, as their views are: most sessions never show them, and start-up
// does not wait for them. What they show meanwhile is kept in the tabs.
void on_mini_web_map(GtkWidget* box, gpointer) {
    g_signal_handlers_disconnect_by_func(box, reinterpret_cast<gpointer>(on_mini_web_map), nullptr);
    WebTab& tab = mini_tab();
    GtkWidget* toolbar = web_toolbar_new(&tab, WebToolbarKind::mini_web);
    gtk_box_pack_start(GTK_BOX(box), toolbar, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(box), toolbar, 0);

    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_box_set_homogeneous(GTK_BOX(row), TRUE);
    GtkWidget* entry = web_tab_entry_new(&tab, "mini_web_entry", _("Adresse Mini Web"));
    track(tab.entry, entry);
    gtk_box_pack_start(GTK_BOX(row), entry, TRUE, TRUE, 0);
    // Shown as it stands, untranslated.
    gtk_box_pack_start(GTK_BOX(row),
                       text_button(" Charger l'URL ", "mini_web_load_url", G_CALLBACK(on_load_url)),
                       TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(row),
                       text_button(_(" Charger la page courante "), "mini_web_load_page",
                                   G_CALLBACK(on_load_document)),
                       TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(box), row, 1);

    GtkWidget* pictures = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_widget_set_name(pictures, "mini_web_picture_buttons");
    gtk_box_pack_start(GTK_BOX(pictures),
                       text_button(_(" Ouvrir avec Gimp "), "mini_web_gimp", G_CALLBACK(on_gimp)),
                       FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(pictures),
                       text_button(_(" Inserer le nom du fichier image dans la page courrante "),
                                   "mini_web_insert_name", G_CALLBACK(on_insert_name)),
                       FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), pictures, FALSE, FALSE, 0);
    track(g_picture_buttons, pictures);

    gtk_widget_show_all(toolbar);
    gtk_widget_show_all(row);
    gtk_widget_show_all(pictures);
    // Hidden except while a picture is shown, whatever the window's show-all does.
    gtk_widget_set_no_show_all(pictures, TRUE);
    show_pictures(g_pictures_shown);
}

void on_myadmin_map(GtkWidget* page, gpointer) {
    g_signal_handlers_disconnect_by_func(page, reinterpret_cast<gpointer>(on_myadmin_map), nullptr);
    WebTab& tab = myadmin_tab();
    GtkWidget* toolbar = web_toolbar_new(&tab, WebToolbarKind::myadmin);
    gtk_box_pack_start(GTK_BOX(page), toolbar, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(page), toolbar, 0);
    GtkWidget* entry = web_tab_entry_new(&tab, "myadmin_entry", _("Adresse MyAdmin"));
    track(tab.entry, entry);
    gtk_box_pack_start(GTK_BOX(page), entry, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(page), entry, 1);
    gtk_widget_show_all(toolbar);
    gtk_widget_show(entry);
}

void translate_selection(TranslationDirection direction) {
    auto text = doc_get_selection(current_document());
    if (!text || text->empty()) return;
    web_panel_load(WebPanel::translation, translation_address(*text, direction));
    notify_user(
        _("Le résultat de la traduction est disponible dans l'onglet :\nMyAdmin->Traduction"));
}

} // namespace

void mini_web_page_build(GtkWidget* box) {
    WebTab& tab = mini_tab();
    new_history(tab);
    tab.address = product_home_page();
    g_pictures_shown = false;
    static bool hooked = false;
    if (!hooked) web_panel_on_created(WebPanel::mini_web, watch_mini_web);
    hooked = true;
    gtk_box_pack_start(GTK_BOX(box), web_panel_create(WebPanel::mini_web), TRUE, TRUE, 0);
    g_signal_connect(box, "map", G_CALLBACK(on_mini_web_map), nullptr);
}

GtkWidget* myadmin_web_page_build() {
    WebTab& tab = myadmin_tab();
    new_history(tab);
    tab.address = "http://";
    static bool hooked = false;
    if (!hooked) web_panel_on_created(WebPanel::myadmin_web, watch_myadmin);
    hooked = true;

    GtkWidget* page = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_widget_set_name(page, "myadmin_web_page");
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_box_pack_start(GTK_BOX(row), web_panel_create(WebPanel::myadmin_web), TRUE, TRUE, 0);
    // The server list is packed into the slot at start-up, by its own module.
    GtkWidget* slot = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_widget_set_name(slot, "myadmin_server_list");
    gtk_box_pack_start(GTK_BOX(row), slot, FALSE, FALSE, 1);
    track(tab.server_list, slot);
    gtk_box_pack_start(GTK_BOX(page), row, TRUE, TRUE, 0);
    g_signal_connect(page, "map", G_CALLBACK(on_myadmin_map), nullptr);
    return page;
}

GtkWidget* myadmin_server_list_slot() {
    return myadmin_tab().server_list;
}

void mini_web_load() {
    WebTab& tab = mini_tab();
    const std::string address = web_tab_address(tab);
    if (auto shown = picture_buttons_shown(address)) show_pictures(*shown);
    web_panel_load(WebPanel::mini_web, address);
    notify_user(_("La visualisation est disponible dans l'onglet Mini Web"));
}

void mini_web_load_address(const std::string& address) {
    web_tab_set_address(mini_tab(), address);
    mini_web_load();
}

void mini_web_load_document() {
    DocumentPage* page = current_document();
    if (!page) return;
    // A new document has no file to show.
    auto address = file_address(page->path);
    if (!address) return;
    mini_web_load_address(*address);
    notify_user(_("La visualisation est disponible dans l'onglet Mini Web"));
}

void myadmin_web_load(const std::string& uri) {
    web_panel_load(WebPanel::myadmin_web, uri);
}

void web_search_selection_command() {
    auto text = doc_get_selection(current_document());
    if (!text || text->empty()) return;
    web_panel_load(WebPanel::help_search, web_search_address(*text));
    notify_user(
        _("Le résultat de la recherche est disponible dans l'onglet :\nMyAdmin->Aide/Recherche"));
}

void translate_french_to_english_command() {
    translate_selection(TranslationDirection::french_to_english);
}

void translate_english_to_french_command() {
    translate_selection(TranslationDirection::english_to_french);
}

void zuda_lists_load() {
    g_zuda_history = read_web_list(config_paths().zuda_history);
    g_zuda_bookmarks = read_web_list(config_paths().zuda_bookmarks);
}

void zuda_bookmarks_reload() {
    g_zuda_bookmarks = read_web_list(config_paths().zuda_bookmarks);
}

const Lines& zuda_history() {
    return g_zuda_history;
}

const Lines& zuda_bookmarks() {
    return g_zuda_bookmarks;
}
