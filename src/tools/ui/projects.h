// Projects: the one loaded project, the "Projets" page (its buttons and the
// read-only project log), and the commands of the "Projets" menu.
#pragma once

#include <gtk/gtk.h>
#include <string>

#include "tools/project_file.h"

// Fills `box`, the page's horizontal box: the five buttons and the project log.
void projects_page_build(GtkWidget* box);

// The loaded project, or null.
const Project* current_project();

// Loads the project file at `path`, as an accepted "Ouvrir un projet" does. The
// file is read first: when it cannot be, the loaded project stays and the
// failure is reported. True when the project was loaded.
bool project_load(const std::string& path);

void project_new_command();        // a "noname" project, then its properties
void project_open_command();       // file chooser, then project_load
void project_save_command();       // rewrites the project file, or asks where
void project_save_as_command();    // file chooser, then the write
void project_properties_command(); // the properties window
// Runs make in the makefile directory without blocking the window; one at a
// time. Its output goes to the log as it arrives, compiler errors tagged.
void project_make_command();
// Starts the target executable (source directory + executable, one path) and
// logs its exit code.
void project_run_command();

// True while a make started here runs.
bool project_make_running();

// The project log view (a source view), or null before the page is built.
GtkWidget* project_log_view();
