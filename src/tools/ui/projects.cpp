#include "tools/ui/projects.h"

#include <cerrno>
#include <glib/gi18n-lib.h>
#include <glib/gstdio.h>
#include <gtksourceview/gtksource.h>
#include <optional>

#include "shell/commands.h"
#include "shell/data_paths.h"
#include "shell/gobj.h"
#include "shell/settings.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"

namespace {

struct Projects {
    std::optional<Project> loaded;
    GtkWidget* log_view = nullptr;
    bool make_running = false;
    // The end of the running make's log entry: its lines go there, wherever
    // newer entries have pushed it.
    GtkTextMark* make_entry_end = nullptr;
};

Projects& projects() {
    static Projects p;
    return p;
}

std::string valid_utf8(std::string_view text) {
    GCharPtr valid(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
    return valid.get();
}

// The project log only grows, at its end.
GtkTextBuffer* project_log_buffer() {
    GtkWidget* view = projects().log_view;
    return view ? gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)) : nullptr;
}

void project_log_append(std::string_view text) {
    GtkTextBuffer* buffer = project_log_buffer();
    if (!buffer) return;
    const std::string valid = valid_utf8(text);
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(buffer, &end);
    gtk_text_buffer_insert(buffer, &end, valid.data(), static_cast<gint>(valid.size()));
}

void project_log_append_picture(const char* name) {
    GtkTextBuffer* buffer = project_log_buffer();
    if (!buffer) return;
    GObjectPtr<GdkPixbuf> picture(gdk_pixbuf_new_from_file(pixmap_path(name).c_str(), nullptr));
    if (!picture) return;
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(buffer, &end);
    gtk_text_buffer_insert_pixbuf(buffer, &end, picture.get());
}

void report_failure(std::string_view what, std::string_view reason, const char* status) {
    log_icon_error();
    std::string text(what);
    if (!reason.empty()) text += " : " + std::string(reason);
    log_message(valid_utf8(text), LM_ERROR);
    status_message(status);
}

bool write_project(const std::string& path) {
    WriteResult written = project_write(*projects().loaded, path);
    if (written.ok) return true;
    report_failure(std::string(_("Le projet n'a pas pu être sauvegardé dans ")) + path,
                   written.error, _("Save project [ERROR]"));
    return false;
}

// A chooser of the "Projets" commands; the chosen path, or none.
std::optional<std::string> choose(const char* title, GtkFileChooserAction action,
                                  const char* accept) {
    GtkWidget* dialog =
        gtk_file_chooser_dialog_new(title, main_window(), action, "gtk-cancel", GTK_RESPONSE_CANCEL,
                                    accept, GTK_RESPONSE_ACCEPT, nullptr);
    const Settings& s = settings();
    if (action == GTK_FILE_CHOOSER_ACTION_SAVE)
        gtk_file_chooser_set_do_overwrite_confirmation(GTK_FILE_CHOOSER(dialog), TRUE);
    else if (s.use_def_open_dir && !s.def_open_dir.empty())
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(dialog), s.def_open_dir.c_str());
    std::optional<std::string> path;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        GCharPtr chosen(gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog)));
        if (chosen) path = chosen.get();
    }
    gtk_widget_destroy(dialog);
    return path;
}

// The properties window's entries, for its "Choose" buttons.
struct PropertyEntries {
    GtkWidget* name;
    GtkWidget* makefile_dir;
    GtkWidget* source_dir;
    GtkWidget* executable;
};

// A folder chosen for the makefile or source directory ends in "/": the run
// puts the executable right after the source directory.
void on_choose_folder(GtkButton* button, gpointer entry) {
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        _("Choisir un dossier"), GTK_WINDOW(gtk_widget_get_toplevel(GTK_WIDGET(button))),
        GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, "gtk-cancel", GTK_RESPONSE_CANCEL, "gtk-open",
        GTK_RESPONSE_ACCEPT, nullptr);
    const char* current = gtk_entry_get_text(GTK_ENTRY(entry));
    if (current && g_file_test(current, G_FILE_TEST_IS_DIR))
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(dialog), current);
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        GCharPtr folder(gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog)));
        if (folder) {
            std::string text = folder.get();
            if (!text.ends_with('/')) text += '/';
            gtk_entry_set_text(GTK_ENTRY(entry), text.c_str());
        }
    }
    gtk_widget_destroy(dialog);
}

GtkWidget* property_row(GtkWidget* grid, int row, const char* label,
                        const std::optional<std::string>& value, bool with_chooser) {
    GtkWidget* caption = gtk_label_new_with_mnemonic(label);
    gtk_widget_set_halign(caption, GTK_ALIGN_START);
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_text(GTK_ENTRY(entry), value ? value->c_str() : "");
    gtk_widget_set_hexpand(entry, TRUE);
    gtk_label_set_mnemonic_widget(GTK_LABEL(caption), entry);
    atk_object_set_name(gtk_widget_get_accessible(entry), label);
    gtk_grid_attach(GTK_GRID(grid), caption, 0, row, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), entry, 1, row, 1, 1);
    if (with_chooser) {
        GtkWidget* button = gtk_button_new_with_label(_("Choose"));
        g_signal_connect(button, "clicked", G_CALLBACK(on_choose_folder), entry);
        gtk_grid_attach(GTK_GRID(grid), button, 2, row, 1, 1);
    }
    return entry;
}

std::optional<std::string> entry_value(GtkWidget* entry) {
    const char* text = gtk_entry_get_text(GTK_ENTRY(entry));
    if (!text || !*text) return std::nullopt;
    return std::string(text);
}

// Make's lines go into one log entry that grows as they arrive; the lines that
// read as compiler errors carry the error tag.
void make_entry_open(const std::string& folder) {
    GtkWidget* view = log_view();
    if (!view) return;
    const std::string text = valid_utf8(std::string(_("make dans ")) + folder);
    log_message(text, LM_NORMAL);
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
    GtkTextIter at;
    // The entry went in at the top: a blank, then its text.
    gtk_text_buffer_get_start_iter(buffer, &at);
    gtk_text_iter_forward_chars(&at, 1 + static_cast<gint>(g_utf8_strlen(text.c_str(), -1)));
    projects().make_entry_end = gtk_text_buffer_create_mark(buffer, nullptr, &at, FALSE);
}

void make_entry_line(OutputStream, std::string_view bytes) {
    GtkWidget* view = log_view();
    GtkTextMark* mark = projects().make_entry_end;
    if (!view || !mark) return;
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
    const std::string line = "\n" + locale_text_to_utf8(bytes);
    GtkTextIter at;
    gtk_text_buffer_get_iter_at_mark(buffer, &at, mark);
    const char* tag = make_line_is_error(bytes) ? "lm_error" : "lm_normal";
    gtk_text_buffer_insert_with_tags_by_name(buffer, &at, line.data(),
                                             static_cast<gint>(line.size()), tag, nullptr);
}

void make_entry_close() {
    GtkTextMark* mark = projects().make_entry_end;
    projects().make_entry_end = nullptr;
    if (mark && !gtk_text_mark_get_deleted(mark))
        gtk_text_buffer_delete_mark(gtk_text_mark_get_buffer(mark), mark);
}

void make_finished(const SpawnExit& exit) {
    projects().make_running = false;
    make_entry_close();
    if (exit.success) {
        indicator_ok();
        log_icon_info();
        status_message(_("Make [OK]"));
        return;
    }
    indicator_stop();
    log_icon_error();
    const std::string code = exit.exit_code >= 0 ? std::to_string(exit.exit_code) : exit.message;
    log_message(_("make a échoué : %s"), code, LM_ERROR);
    status_message(_("Make [ERROR]"));
}

void on_button(GtkButton*, gpointer command) {
    reinterpret_cast<void (*)()>(command)();
}

GtkWidget* page_button(GtkWidget* box, const char* label, void (*command)()) {
    GtkWidget* button = gtk_button_new_with_label(label);
    gtk_widget_set_name(button, label);
    g_signal_connect(button, "clicked", G_CALLBACK(on_button), reinterpret_cast<gpointer>(command));
    gtk_box_pack_start(GTK_BOX(box), button, FALSE, FALSE, 0);
    return button;
}

GtkWidget* build_log_view() {
    GtkWidget* view = log_style_view_new(_("Journal du projet"));
    gtk_widget_set_name(view, "project_log");
    GtkSourceBuffer* buffer = GTK_SOURCE_BUFFER(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)));
    if (GtkSourceLanguage* sh = gtk_source_language_manager_get_language(
            gtk_source_language_manager_get_default(), "sh"))
        gtk_source_buffer_set_language(buffer, sh);
    return view;
}

} // namespace

void projects_page_build(GtkWidget* box) {
    if (!box) return;
    GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_VERTICAL);
    gtk_widget_set_name(buttons, "project_buttons");
    gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_START);
    page_button(buttons, _("Nouveau projet"), project_new_command);
    page_button(buttons, _("Ouvrir un projet"), project_open_command);
    page_button(buttons, _("Sauvegarder un projet"), project_save_as_command);
    page_button(buttons, _("Make du projet"), project_make_command);
    page_button(buttons, _("Executer le projet"), project_run_command);
    gtk_box_pack_start(GTK_BOX(box), buttons, FALSE, FALSE, 0);

    GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    GtkWidget* view = build_log_view();
    gtk_container_add(GTK_CONTAINER(scroll), view);
    gtk_box_pack_start(GTK_BOX(box), scroll, TRUE, TRUE, 0);
    GtkWidget*& ref = projects().log_view;
    if (ref) g_object_remove_weak_pointer(G_OBJECT(ref), reinterpret_cast<gpointer*>(&ref));
    ref = view;
    g_object_add_weak_pointer(G_OBJECT(view), reinterpret_cast<gpointer*>(&ref));
}

GtkWidget* project_log_view() {
    return projects().log_view;
}

const Project* current_project() {
    auto& loaded = projects().loaded;
    return loaded ? &*loaded : nullptr;
}

bool project_load(const std::string& path) {
    ProjectRead read = project_read(path);
    if (read.problem != ProjectRead::none) {
        std::string reason = read.reason;
        if (read.problem == ProjectRead::not_a_file) reason = _("ce n'est pas un fichier");
        if (read.problem == ProjectRead::too_large) reason = _("fichier trop grand");
        report_failure(std::string(_("Le projet n'a pas pu être ouvert : ")) + path, reason,
                       _("Open project [ERROR]"));
        return false;
    }
    projects().loaded = std::move(read.project);
    const Project& p = *projects().loaded;
    if (p.dir_source && g_file_test(p.dir_source->c_str(), G_FILE_TEST_IS_DIR))
        file_panel_set_folder(*p.dir_source);
    project_log_append_picture("orvane_button.png");
    project_log_append(project_log_opened_text(path, read.bytes));
    return true;
}

void project_new_command() {
    projects().loaded = project_new();
    project_properties_command();
}

void project_open_command() {
    if (auto path = choose(_("Open a project"), GTK_FILE_CHOOSER_ACTION_OPEN, "gtk-open"))
        project_load(*path);
}

void project_save_command() {
    auto& loaded = projects().loaded;
    if (!loaded) return;
    if (loaded->project_file_name &&
        g_file_test(loaded->project_file_name->c_str(), G_FILE_TEST_IS_REGULAR)) {
        write_project(*loaded->project_file_name);
        return;
    }
    project_save_as_command();
}

void project_save_as_command() {
    auto& loaded = projects().loaded;
    if (!loaded) return;
    auto path = choose(_("Save a project"), GTK_FILE_CHOOSER_ACTION_SAVE, "gtk-save");
    if (!path) return;
    loaded->project_file_name = *path;
    project_log_append(project_log_saved_text(*path, *loaded));
    write_project(*path);
}

void project_properties_command() {
    auto& loaded = projects().loaded;
    if (!loaded) return;
    project_log_append(project_log_fields_text(*loaded));

    GtkWidget* dialog = gtk_dialog_new_with_buttons(
        _("Project properties"), main_window(),
        GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), "gtk-close",
        GTK_RESPONSE_CLOSE, "gtk-ok", GTK_RESPONSE_OK, nullptr);
    gtk_widget_set_name(dialog, "project_properties");
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    GtkWidget* notebook = gtk_notebook_new();
    gtk_notebook_set_tab_pos(GTK_NOTEBOOK(notebook), GTK_POS_LEFT);
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 4);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 6);
    gtk_container_set_border_width(GTK_CONTAINER(grid), 6);
    PropertyEntries entries{
        property_row(grid, 0, _("Project name"), loaded->project_name, false),
        property_row(grid, 1, _("Makefile directory"), loaded->dir_makefile, true),
        property_row(grid, 2, _("Source directory"), loaded->dir_source, true),
        property_row(grid, 3, _("Target executable"), loaded->file_executable, false),
    };
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), grid, gtk_label_new(_("Main")));
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), notebook, TRUE,
                       TRUE, 0);
    gtk_widget_show_all(dialog);
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK && projects().loaded) {
        Project& p = *projects().loaded;
        p.project_name = entry_value(entries.name);
        p.dir_makefile = entry_value(entries.makefile_dir);
        p.dir_source = entry_value(entries.source_dir);
        p.file_executable = entry_value(entries.executable);
    }
    gtk_widget_destroy(dialog);
}

void project_make_command() {
    indicator_busy();
    Projects& state = projects();
    if (state.make_running) {
        log_message(_("Un make du projet est déjà en cours"), LM_ADVICE);
        return;
    }
    if (!state.loaded) {
        indicator_ok();
        log_message(_("Aucun projet chargé : rien à construire"), LM_ADVICE);
        return;
    }
    auto folder = project_make_dir(*state.loaded);
    if (!folder) {
        indicator_ok();
        log_message(_("Le dossier du makefile %s n'existe pas : make n'est pas lancé"),
                    state.loaded->dir_makefile.value_or(""), LM_ADVICE);
        return;
    }
    // Later relative paths resolve against the makefile directory, as after a
    // make run from a shell.
    if (g_chdir(folder->c_str()) != 0) {
        report_failure(std::string(_("Impossible d'entrer dans ")) + *folder, g_strerror(errno),
                       _("Make [ERROR]"));
        indicator_stop();
        return;
    }
    make_entry_open(*folder);
    SpawnLines job;
    job.argv = {"make"};
    job.working_dir = *folder;
    job.search_path = true;
    job.on_line = make_entry_line;
    job.on_exit = make_finished;
    std::string error;
    if (!spawn_async_lines(std::move(job), &error)) {
        make_entry_close();
        indicator_stop();
        report_failure(_("make n'a pas pu être lancé"), error, _("Make [ERROR]"));
        return;
    }
    state.make_running = true;
}

void project_run_command() {
    const Project* project = current_project();
    if (!project) {
        log_message(_("Aucun projet chargé : rien à exécuter"), LM_ADVICE);
        return;
    }
    auto argv = project_run_argv(*project);
    if (!argv) {
        log_message(_("Le projet ne nomme pas d'exécutable"), LM_ADVICE);
        return;
    }
    const std::string program = argv->front();
    SpawnLines job;
    job.argv = *argv;
    job.on_exit = [program](const SpawnExit& exit) {
        std::string text = program + " : ";
        if (exit.exit_code >= 0)
            text += _("code de sortie ") + std::to_string(exit.exit_code);
        else
            text += exit.message;
        log_message(valid_utf8(text), exit.success ? LM_NORMAL : LM_ERROR);
    };
    std::string error;
    if (!spawn_async_lines(std::move(job), &error))
        report_failure(std::string(_("Le programme n'a pas pu être lancé : ")) + program, error,
                       _("Run [ERROR]"));
}

bool project_make_running() {
    return projects().make_running;
}
