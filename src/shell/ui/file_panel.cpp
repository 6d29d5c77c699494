#include "shell/ui/file_panel.h"

#include <glib/gi18n-lib.h>
#include <glib/gstdio.h>

#include "documents/ui/documents.h"
#include "shell/commands.h"
#include "shell/entry_rules.h"
#include "shell/gobj.h"
#include "shell/lines.h"
#include "shell/settings.h"
#include "shell/ui/accessibility.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"
#include "snippets/ui/file_headers.h"

namespace {

// The rows of the chooser's "Other Locations" page keep a spinner that is
// active while its page is never shown; the toolkit animates it all the same,
// which kept the whole window redrawing at 60 frames a second while idle.
void stop_hidden_spinners() {
    static bool done = false;
    if (done) return;
    done = true;
    GObjectPtr<GtkCssProvider> css(gtk_css_provider_new());
    gtk_css_provider_load_from_data(
        css.get(), "#file_panel placesview spinner { animation: none; }", -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                              GTK_STYLE_PROVIDER(css.get()),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

void on_file_activated(GtkFileChooser* chooser, gpointer) {
    GCharPtr file(gtk_file_chooser_get_filename(chooser));
    if (file) open_chosen_file(file.get());
}

void on_create_directory(GtkToolButton*, gpointer) {
    file_panel_create_directory();
}
void on_create_file(GtkToolButton*, gpointer) {
    file_panel_create_file();
}

PanelTarget current_target() {
    GtkWidget* entry = window_part(WindowPart::file_panel_name);
    const char* name = entry ? gtk_entry_get_text(GTK_ENTRY(entry)) : "";
    return panel_target(file_panel_folder(), name);
}

// The panel's box, cleared when it is destroyed.
GtkWidget*& panel_box() {
    static GtkWidget* box = nullptr;
    return box;
}

// The chooser is the costliest part of the window to build and lists its
// folder from then on; its page does not show at start, so it waits for it.
void on_panel_map(GtkWidget*, gpointer) {
    file_panel_chooser();
}

} // namespace

GtkWidget* file_panel_create() {
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_widget_set_name(box, "file_panel_box");

    GtkWidget* toolbar = gtk_toolbar_new();
    gtk_widget_set_name(toolbar, "file_panel_toolbar");
    gtk_toolbar_set_style(GTK_TOOLBAR(toolbar), GTK_TOOLBAR_ICONS);
    gtk_toolbar_set_icon_size(GTK_TOOLBAR(toolbar), GTK_ICON_SIZE_SMALL_TOOLBAR);
    gtk_toolbar_set_show_arrow(GTK_TOOLBAR(toolbar), FALSE);
    toolbar_add_stock_button(toolbar, "gtk-directory", _("Create a directory"),
                             G_CALLBACK(on_create_directory));
    toolbar_add_stock_button(toolbar, "gtk-file", _("Create a File"), G_CALLBACK(on_create_file));
    GtkToolItem* entry_item = gtk_tool_item_new();
    GtkWidget* name_entry = gtk_entry_new();
    window_part_set(WindowPart::file_panel_name, name_entry);
    gtk_widget_set_name(name_entry, "file_panel_name");
    set_accessible_name(name_entry, _("Nom du fichier ou du répertoire à créer"));
    gtk_entry_set_width_chars(GTK_ENTRY(name_entry), 50);
    gtk_container_add(GTK_CONTAINER(entry_item), name_entry);
    gtk_toolbar_insert(GTK_TOOLBAR(toolbar), entry_item, -1);
    gtk_box_pack_start(GTK_BOX(box), toolbar, FALSE, FALSE, 0);
    GtkWidget*& slot = panel_box();
    if (slot) g_object_remove_weak_pointer(G_OBJECT(slot), reinterpret_cast<gpointer*>(&slot));
    slot = box;
    g_object_add_weak_pointer(G_OBJECT(box), reinterpret_cast<gpointer*>(&slot));
    g_signal_connect(box, "map", G_CALLBACK(on_panel_map), nullptr);
    return box;
}

GtkWidget* file_panel_chooser() {
    if (GtkWidget* chooser = window_part(WindowPart::file_panel)) return chooser;
    GtkWidget* box = panel_box();
    if (!box) return nullptr;
    // A folder set before the chooser existed wins over the default one.
    const std::optional<std::string> pending = file_panel_folder();
    GtkWidget* chooser = gtk_file_chooser_widget_new(GTK_FILE_CHOOSER_ACTION_OPEN);
    window_part_set(WindowPart::file_panel, chooser);
    gtk_widget_set_name(chooser, "file_panel");
    stop_hidden_spinners();
    const Settings& s = settings();
    if (pending)
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), pending->c_str());
    else if (s.use_def_open_dir)
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), s.def_open_dir.c_str());
    g_signal_connect(chooser, "file-activated", G_CALLBACK(on_file_activated), nullptr);
    gtk_box_pack_start(GTK_BOX(box), chooser, TRUE, TRUE, 0);
    gtk_widget_show(chooser);
    return chooser;
}

void file_panel_create_directory() {
    PanelTarget target = current_target();
    if (target.problem == PanelTarget::no_folder) {
        log_message(_("Mkdir Error : vous devez séléctionner un répertoire dans le sélécteur de "
                      "fichier."),
                    LM_ERROR);
        status_message(_("Mkdir [ERROR]"));
        return;
    }
    if (target.problem == PanelTarget::no_name) {
        log_message(_("Mkdir Error : vous devez entrer le nom du répertoire dans la ligne de "
                      "commande"),
                    LM_ERROR);
        status_message(_("Mkdir [ERROR]"));
        return;
    }
    if (g_mkdir(target.path.c_str(), 0700) != 0) {
        log_message(_("Mkdir Error."), LM_ERROR);
        status_message(_("Mkdir [ERROR]"));
        return;
    }
    log_message(_("Mkdir %s"), target.path, LM_NORMAL);
    file_panel_set_folder(target.path);
    status_message(_("Mkdir [OK]"));
    notify_user(_("Le répertoire est créé."));
    run_shell_sync(shell_command("chmod 755", {target.path}));
}

void file_panel_create_file() {
    PanelTarget target = current_target();
    const char* problem = nullptr;
    if (target.problem == PanelTarget::no_folder)
        problem = _("File Error : vous devez séléctionner un répertoire dans le sélécteur de "
                    "fichier.");
    else if (target.problem == PanelTarget::no_name)
        problem = _("File Error : vous devez entrer le nom du fichier dans la ligne de commande");
    else if (g_file_test(target.path.c_str(), G_FILE_TEST_EXISTS) ||
             g_file_test(target.path.c_str(), G_FILE_TEST_IS_SYMLINK) ||
             !string_to_file(target.path, ""))
        problem = _("File Error.");
    if (problem) {
        log_message(problem, LM_ERROR);
        status_message(_("File touch [ERROR]"));
        return;
    }
    log_message(_("File %s"), target.path, LM_NORMAL);
    status_message(_("File touch [OK]"));
    notify_user(_("Le fichier est créé."));
    // The header goes into the new document only; a failed open inserts nothing.
    if (open_file(target.path)) {
        GCharPtr base(g_path_get_basename(target.path.c_str()));
        insert_new_file_header(base.get());
    }
    // The file just created, not whichever document is current if opening failed.
    run_shell_sync(shell_command("chmod u+x", {target.path}));
}
