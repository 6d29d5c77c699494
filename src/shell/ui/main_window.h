// The main window: built once at start-up, after the configuration load.
#pragma once

#include <gtk/gtk.h>
#include <string>

#include "shell/ui_state.h"

// Runs the configuration load, then builds the widget tree and loads the start state.
GtkWidget* main_window_build();
GtkWindow* main_window();
// The style scheme name read from orvane_theme at build time.
const std::string& theme_name();
// The theme chosen since then, for the panels built later.
void set_theme_name(const std::string& name);
// The window's current geometry and the remembered dialog state, for orvane_ui.
UiState main_window_ui_state();
// The preferences dialog remembers the page it showed last.
long main_window_last_prefs_tab();
void main_window_set_last_prefs_tab(long page);
// Re-applies the text colours of the settings to the log view and the command entry.
void apply_text_colors();

// Long-lived widgets other modules fill or use.
GtkWidget* main_notebook();
GtkWidget* side_notebook();
GtkWidget* bottom_notebook();
GtkWidget* editor_notebook();   // "notebook1": one tab per document
GtkWidget* terminal_notebook(); // inside the "Terminal" page
GtkWidget* myadmin_notebook();  // inside the "MyAdmin" page

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
    mini_web,     // bottom "Mini Web": vertical box, the Mini Web view packed last
    todo,         // bottom "TODO liste": vertical box
};
GtkWidget* panel_page(PanelPage page);

// Only one of the start page and the editor notebook is visible: the editor
// notebook while a document exists.
void editor_area_update(bool has_documents);

// The hidden top-level window that the run window replaces each time it opens.
GtkWidget* run_window();
void run_window_replace(GtkWidget* window);
