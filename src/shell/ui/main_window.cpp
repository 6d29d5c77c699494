#include "shell/ui/main_window.h"

#include <glib/gi18n-lib.h>
#include <libnotify/notify.h>

#include "documents/charset_list.h"
#include "documents/document_names.h"
#include "documents/path_helpers.h"
#include "documents/ui/document_events.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_menus.h"
#include "documents/ui/documents.h"
#include "documents/ui/positions.h"
#include "documents/ui/save.h"
#include "remote/ui/remote_pages.h"
#include "shell/config_dir.h"
#include "shell/data_paths.h"
#include "shell/gobj.h"
#include "shell/reload_hooks.h"
#include "shell/settings.h"
#include "shell/ui/accessibility.h"
#include "shell/ui/app.h"
#include "shell/ui/command_entry.h"
#include "shell/ui/config_actions.h"
#include "shell/ui/file_panel.h"
#include "shell/ui/menu.h"
#include "shell/ui/report.h"
#include "shell/ui/tabs_window.h"
#include "shell/ui/toolbars.h"
#include "shell/ui/window_parts.h"
#include "snippets/ui/help_windows.h"
#include "tools/ui/html_tools_ui.h"
#include "tools/ui/links.h"
#include "tools/ui/scrapbook.h"
#include "terminal/ui/terminal_panel.h"
#include "tools/ui/projects.h"
#include "tools/ui/symbols.h"
#include "tools/ui/todo_page.h"
#include "web/ui/mini_web.h"
#include "web/ui/web_views.h"

namespace {
constexpr const char* kNotebookGroup = "wnote";

// Registers `widget` as `part` and hands it back, so the builder reads top-down.
GtkWidget* part(WindowPart which, GtkWidget* widget) {
    window_part_set(which, widget);
    return widget;
}

gboolean on_delete_event(GtkWidget*, GdkEvent*, gpointer) {
    // Unsaved text is asked about before the window goes; Cancel keeps it.
    if (!documents_may_quit()) return TRUE;
    ui_state_save();
    return FALSE;
}

gboolean on_destroy_event(GtkWidget*, GdkEvent*, gpointer) {
    return FALSE;
}

gboolean on_configure_event(GtkWidget*, GdkEvent*, gpointer) {
    ui_state_snapshot();
    return FALSE;
}

// The file panel follows the current document's folder whenever the main
// notebook takes the focus; a new document has no folder yet.
gboolean on_main_notebook_focus_in(GtkWidget*, GdkEvent*, gpointer) {
    auto name = current_document_name();
    if (!name || is_noname(*name)) return FALSE;
    if (auto fs_path = to_filesystem_encoding(*name))
        if (auto folder = folder_of(*fs_path)) file_panel_set_folder(*folder);
    return FALSE;
}

void on_editor_switch_page(GtkNotebook*, GtkWidget*, guint, gpointer) {
    indicator_ok();
}

void on_save_log(GtkToolButton*, gpointer) {
    GtkWidget* view = log_view();
    if (!view) return;
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    GCharPtr text(gtk_text_buffer_get_text(buffer, &start, &end, FALSE));
    new_document_with_text(text.get());
}

GtkWidget* new_notebook(const char* name, GtkPositionType tabs, bool create_window) {
    GtkWidget* notebook = gtk_notebook_new();
    gtk_widget_set_name(notebook, name);
    gtk_notebook_set_tab_pos(GTK_NOTEBOOK(notebook), tabs);
    gtk_notebook_set_group_name(GTK_NOTEBOOK(notebook), kNotebookGroup);
    if (create_window) tabs_window_connect(GTK_NOTEBOOK(notebook));
    return notebook;
}

GtkWidget* tab_head(const char* stock, const char* label, int width) {
    GtkWidget* head = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GtkWidget* icon = gtk_image_new_from_stock(stock, GTK_ICON_SIZE_SMALL_TOOLBAR);
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_box_pack_start(GTK_BOX(head), icon, FALSE, FALSE, 0);
    GtkWidget* text = gtk_label_new(label);
    gtk_widget_set_size_request(text, width, 20);
    gtk_box_pack_start(GTK_BOX(head), text, FALSE, FALSE, 0);
    gtk_widget_show_all(head);
    return head;
}

void add_page(GtkWidget* notebook, GtkWidget* content, const char* stock, const char* label,
              int width) {
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), content, tab_head(stock, label, width));
    gtk_notebook_set_tab_detachable(GTK_NOTEBOOK(notebook), content, TRUE);
}

GtkWidget* vbox(const char* name, int spacing = 0) {
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, spacing);
    gtk_widget_set_name(box, name);
    return box;
}

GtkWidget* panel(PanelPage page, const char* name, GtkOrientation orientation) {
    GtkWidget* box = gtk_box_new(orientation, 0);
    gtk_widget_set_name(box, name);
    panel_page_set(page, box);
    return box;
}

GtkWidget* build_side_notebook() {
    GtkWidget* nb = new_notebook("side_notebook", GTK_POS_LEFT, true);
    add_page(nb, file_panel_create(), "gtk-directory", _("Files"), 50);
    add_page(nb, panel(PanelPage::symbols, "symbols_page", GTK_ORIENTATION_VERTICAL),
             "gtk-properties", _("In"), 50);
    add_page(nb, panel(PanelPage::help_tree, "help_page", GTK_ORIENTATION_VERTICAL), "gtk-help",
             _("Aide"), 50);
    add_page(nb, panel(PanelPage::sftp, "sftp_page", GTK_ORIENTATION_VERTICAL), "gtk-network",
             _("SFTP"), 50);
    add_page(nb, panel(PanelPage::ftp, "ftp_page", GTK_ORIENTATION_VERTICAL), "gtk-network",
             _("FTP"), 50);
    add_page(nb, panel(PanelPage::marks, "marks_page", GTK_ORIENTATION_VERTICAL), "gtk-jump-to",
             _("Mark"), 50);
    return nb;
}

GtkWidget* build_log_page() {
    GtkWidget* page = vbox("log_page");
    GtkWidget* toolbar = gtk_toolbar_new();
    gtk_widget_set_name(toolbar, "log_toolbar");
    gtk_toolbar_set_style(GTK_TOOLBAR(toolbar), GTK_TOOLBAR_ICONS);
    gtk_toolbar_set_icon_size(GTK_TOOLBAR(toolbar), GTK_ICON_SIZE_SMALL_TOOLBAR);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GtkToolItem* save = gtk_tool_button_new_from_stock("gtk-save-as");
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_widget_set_name(GTK_WIDGET(save), "gtk-save-as");
    tool_button_set_tip(save, _("Ouvrir les logs dans un fichier"));
    g_signal_connect(save, "clicked", G_CALLBACK(on_save_log), nullptr);
    gtk_toolbar_insert(GTK_TOOLBAR(toolbar), save, -1);
    gtk_box_pack_start(GTK_BOX(page), toolbar, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(page), log_view_create(), TRUE, TRUE, 0);
    return page;
}

GtkWidget* build_terminal_page() {
    GtkWidget* page = vbox("terminal_page");
    gtk_box_pack_start(GTK_BOX(page),
                       panel(PanelPage::terminal_bar, "terminal_bar", GTK_ORIENTATION_HORIZONTAL),
                       FALSE, FALSE, 0);
    GtkWidget* notebook =
        part(WindowPart::terminal_notebook, new_notebook("terminal_notebook", GTK_POS_TOP, true));
    gtk_notebook_set_scrollable(GTK_NOTEBOOK(notebook), TRUE);
    gtk_box_pack_start(GTK_BOX(page), notebook, TRUE, TRUE, 0);
    return page;
}

GtkWidget* build_myadmin_page() {
    GtkWidget* notebook =
        part(WindowPart::myadmin_notebook, new_notebook("myadmin_notebook", GTK_POS_TOP, true));
    gtk_notebook_set_scrollable(GTK_NOTEBOOK(notebook), TRUE);
    add_page(notebook, myadmin_web_page_build(), "gtk-apply", _("Web"), 150);
    myadmin_list_build(myadmin_server_list_slot());
    add_page(notebook, web_panel_create(WebPanel::translation), "gtk-convert", _("Traduction"),
             150);
    add_page(notebook, web_panel_create(WebPanel::help_search), "gtk-help", _("Aide/Recherche"),
             150);
    return notebook;
}

GtkWidget* build_bottom_notebook() {
    GtkWidget* nb = new_notebook("bottom_notebook", GTK_POS_LEFT, true);
    add_page(nb, build_log_page(), "gtk-info", _("Informations"), 100);
    add_page(nb, build_terminal_page(), "gtk-yes", _("Terminal"), 100);
    add_page(nb, panel(PanelPage::projects, "projects_page", GTK_ORIENTATION_HORIZONTAL),
             "gtk-execute", _("Projets"), 100);
    add_page(nb, panel(PanelPage::scrapbook, "scrapbook_page", GTK_ORIENTATION_VERTICAL),
             "gtk-edit", _("Note"), 100);
    GtkWidget* mini_web = panel(PanelPage::mini_web, "mini_web_page", GTK_ORIENTATION_VERTICAL);
    mini_web_page_build(mini_web);
    add_page(nb, mini_web, "gtk-network", _("Mini Web"), 100);
    add_page(nb, panel(PanelPage::todo, "todo_page", GTK_ORIENTATION_VERTICAL), "gtk-apply",
             _("TODO liste"), 100);
    add_page(nb, build_myadmin_page(), "gtk-home", _("MyAdmin"), 100);
    return nb;
}

GtkWidget* build_editor_page() {
    GtkWidget* page = vbox("editor_page");
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_widget_set_name(row, "toolbar_row");
    gtk_box_pack_start(GTK_BOX(row), main_toolbar_create(), FALSE, FALSE, 0);
    command_entry_create();
    gtk_box_pack_start(GTK_BOX(row), search_toolbar_create(), TRUE, TRUE, 0);
    indicator_create(GTK_BOX(row));
    gtk_box_pack_start(GTK_BOX(page), row, FALSE, FALSE, 0);

    GtkWidget* start = part(WindowPart::start_view, web_panel_create(WebPanel::start));
    gtk_box_pack_start(GTK_BOX(page), start, TRUE, TRUE, 0);

    GtkWidget* notebook =
        part(WindowPart::editor_notebook, new_notebook("notebook1", GTK_POS_TOP, false));
    gtk_notebook_set_scrollable(GTK_NOTEBOOK(notebook), TRUE);
    g_signal_connect(notebook, "switch-page", G_CALLBACK(on_editor_switch_page), nullptr);
    tabs_refuse_foreign(GTK_NOTEBOOK(notebook));
    gtk_box_pack_start(GTK_BOX(page), notebook, TRUE, TRUE, 0);
    // The editor notebook shows while documents exist, whatever show-all does.
    gtk_widget_set_no_show_all(notebook, TRUE);
    editor_area_update(false);
    return page;
}

GtkWidget* build_main_notebook() {
    GtkWidget* notebook =
        part(WindowPart::main_notebook, new_notebook("main_notebook", GTK_POS_TOP, true));
    g_signal_connect(notebook, "focus-in-event", G_CALLBACK(on_main_notebook_focus_in), nullptr);

    GtkWidget* file_box = vbox("file_box");
    gtk_box_set_homogeneous(GTK_BOX(file_box), TRUE);
    gtk_box_pack_start(GTK_BOX(file_box), part(WindowPart::side_notebook, build_side_notebook()),
                       TRUE, TRUE, 0);
    add_page(notebook, file_box, "gtk-directory", _("File"), 50);

    add_page(notebook, build_editor_page(), "gtk-edit", _("Editor"), 50);

    GtkWidget* tools_box = vbox("tools_box", 2);
    gtk_box_set_homogeneous(GTK_BOX(tools_box), TRUE);
    gtk_box_pack_start(GTK_BOX(tools_box),
                       part(WindowPart::bottom_notebook, build_bottom_notebook()), TRUE, TRUE, 0);
    add_page(notebook, tools_box, "gtk-properties", _("Tools"), 50);
    return notebook;
}

void log_start() {
    std::string greeting = std::string(_("Bienvenue dans ")) + kProductName + " " + kProductVersion;
    log_message(greeting, LM_GREET);
    // The picture goes above the greeting, at the very top of the log.
    GtkWidget* view = log_view();
    if (!view) return;
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
    GObjectPtr<GdkPixbuf> picture(
        gdk_pixbuf_new_from_file(pixmap_path("orvane_start.png").c_str(), nullptr));
    if (!picture) return;
    GtkTextIter start;
    gtk_text_buffer_get_start_iter(buffer, &start);
    gtk_text_buffer_insert_pixbuf(buffer, &start, picture.get());
    gtk_text_buffer_insert(buffer, &start, "\n", -1);
    log_scroll_to_top();
}

// The lower floors tell the top what happened through these hooks; each is
// connected here once per window.
void connect_lower_floors() {
    reload_hook_set(ConfigFile::user_menu, menu_rebuild_user_menu);
    reload_hook_set(ConfigFile::bmx, menu_rebuild_bookmarks);
    reload_hook_set(ConfigFile::iconv_rc, [] {
        charset_lists_rebuild(config_paths().iconv_rc);
        menu_rebuild_charsets();
    });
    save_register();
    zuda_lists_load();
    reload_hook_set(ConfigFile::zuda_bookmarks, zuda_bookmarks_reload);
    settings_apply_hook_add(main_toolbar_apply_visibility);
    settings_apply_hook_add(menu_rebuild_charsets);

    document_opened_hook_add(scan_links_after_open);
    document_opened_hook_add(scan_symbols);
    document_saved_hook_add(scan_symbols);
    document_saved_hook_add(mini_web_follow_save);
    document_preview_hook_set(mini_web_preview);
    terminal_help_opener_set([](GtkWidget* terminal) { help_terminal_window_open(terminal); });
}
} // namespace

UiState main_window_ui_state() {
    UiState s;
    s.last_prefs_tab = last_prefs_tab();
    if (GtkWindow* window = main_window()) {
        gint w = 0, h = 0, x = 0, y = 0;
        gtk_window_get_size(window, &w, &h);
        gtk_window_get_position(window, &x, &y);
        s.main_wnd_w = w;
        s.main_wnd_h = h;
        s.main_wnd_x = x;
        s.main_wnd_y = y;
    }
    if (GtkWidget* paned = window_part(WindowPart::vpaned))
        s.vpaned1_y = gtk_paned_get_position(GTK_PANED(paned));
    return s;
}

GtkWidget* main_window_build() {
    config_load();
    notify_init("libnotify");
    set_theme_name(read_theme_name(config_paths().theme));
    command_history_load();

    GtkWidget* window = part(WindowPart::window, gtk_window_new(GTK_WINDOW_TOPLEVEL));
    gtk_widget_set_name(window, "vesk_main_window");
    std::string title = std::string(kProductName) + " " + kProductVersion;
    gtk_window_set_title(GTK_WINDOW(window), title.c_str());
    gtk_window_set_icon_from_file(GTK_WINDOW(window), pixmap_path("orvane_button.png").c_str(),
                                  nullptr);
    gtk_window_maximize(GTK_WINDOW(window));
    GtkAccelGroup* accel_group = gtk_accel_group_new();
    gtk_window_add_accel_group(GTK_WINDOW(window), accel_group);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    g_signal_connect(window, "destroy-event", G_CALLBACK(on_destroy_event), nullptr);
    g_signal_connect(window, "delete-event", G_CALLBACK(on_delete_event), nullptr);
    g_signal_connect(window, "configure-event", G_CALLBACK(on_configure_event), nullptr);

    GtkWidget* mainvbox = vbox("mainvbox");
    gtk_container_add(GTK_CONTAINER(window), mainvbox);
    gtk_box_pack_start(GTK_BOX(mainvbox), menu_bar_build(accel_group), FALSE, FALSE, 0);
    g_object_unref(accel_group);
    gtk_box_pack_start(GTK_BOX(mainvbox), gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0), FALSE, FALSE,
                       0);
    GtkWidget* paned = part(WindowPart::vpaned, gtk_paned_new(GTK_ORIENTATION_VERTICAL));
    gtk_widget_set_name(paned, "vpaned1");
    gtk_paned_set_position(GTK_PANED(paned), 0);
    gtk_box_pack_start(GTK_BOX(mainvbox), paned, TRUE, TRUE, 0);
    gtk_paned_pack1(GTK_PANED(paned), build_main_notebook(), TRUE, FALSE);
    gtk_box_pack_start(GTK_BOX(mainvbox), status_bar_create(), FALSE, FALSE, 0);

    run_window_replace(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    connect_lower_floors();
    html_entities_menu_rebuild();
    marks_panel_build(panel_page(PanelPage::marks));
    help_chooser_build(panel_page(PanelPage::help_tree));
    todo_page_build(panel_page(PanelPage::todo));
    symbols_panel_build(panel_page(PanelPage::symbols));
    scrapbook_panel_build(panel_page(PanelPage::scrapbook));
    remote_pages_build();
    terminal_bar_build(panel_page(PanelPage::terminal_bar));
    terminal_panel_start();
    projects_page_build(panel_page(PanelPage::projects));

    apply_text_colors();
    log_start();

    set_last_prefs_tab(ui_state_read_last_prefs_tab(config_paths().ui));
    // The stored geometry is not applied: the window starts maximised.
    gtk_window_maximize(GTK_WINDOW(window));
    gtk_paned_set_position(GTK_PANED(paned), 50);

    // A notebook switches only to pages that are visible.
    gtk_widget_show_all(mainvbox);
    gtk_notebook_set_current_page(GTK_NOTEBOOK(bottom_notebook()), 4);
    gtk_notebook_set_current_page(GTK_NOTEBOOK(side_notebook()), 0);
    gtk_notebook_set_current_page(GTK_NOTEBOOK(myadmin_notebook()), 0);
    gtk_notebook_set_current_page(GTK_NOTEBOOK(main_notebook()), 1);

    web_panels_load_start_pages();
    return window;
}
