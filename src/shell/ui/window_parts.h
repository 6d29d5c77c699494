// The window's long-lived widgets, handed out to every module: the builder of
// the main window creates them once and registers them here. Nothing here knows
// about documents or tools, so every floor of the interface may use it.
#pragma once

#include <gtk/gtk.h>
#include <optional>
#include <string>

enum class WindowPart {
    window,
    main_notebook,
    side_notebook,
    bottom_notebook,
    editor_notebook,   // "notebook1": one tab per document
    start_view,        // shown instead of the editor notebook while no document exists
    terminal_notebook, // inside the "Terminal" page
    myadmin_notebook,  // inside the "MyAdmin" page
    file_panel,        // the file chooser of the side notebook's "Files" page
    file_panel_name,   // the name entry above it
    vpaned,
};
// Records `widget` as `part`; the reference clears itself when the widget goes.
void window_part_set(WindowPart part, GtkWidget* widget);
GtkWidget* window_part(WindowPart part);

GtkWindow* main_window();
GtkWidget* main_notebook();
GtkWidget* side_notebook();
GtkWidget* bottom_notebook();
GtkWidget* editor_notebook();
GtkWidget* terminal_notebook();
GtkWidget* myadmin_notebook();

// The empty containers of the pages whose content other modules build.
enum class PanelPage {
    symbols,      // side "In": vertical box
    help_tree,    // side "Aide": vertical box
    sftp,         // side "SFTP": vertical box
    ftp,          // side "FTP": vertical box
    marks,        // side "Mark": vertical box
    terminal_bar, // bottom "Terminal": horizontal box above the terminal notebook
    projects,     // bottom "Projets": horizontal box
    scrapbook,    // bottom "Note": vertical box
    mini_web,     // bottom "Mini Web": vertical box
    todo,         // bottom "TODO liste": vertical box
};
void panel_page_set(PanelPage page, GtkWidget* box);
GtkWidget* panel_page(PanelPage page);

// Only one of the start page and the editor notebook is visible: the editor
// notebook while a document exists.
void editor_area_update(bool has_documents);

// The hidden top-level window that the run window replaces each time it opens.
GtkWidget* run_window();
void run_window_replace(GtkWidget* window);

// The style scheme name read from orvane_theme at build time, and the theme
// chosen since then, for the panels built later.
const std::string& theme_name();
void set_theme_name(const std::string& name);
// The preferences dialog remembers the page it showed last.
long last_prefs_tab();
void set_last_prefs_tab(long page);

// The file panel's current folder, which several tools use. Before the panel's
// chooser is built, the folder last set, kept for it.
std::optional<std::string> file_panel_folder();
void file_panel_set_folder(const std::string& folder);
