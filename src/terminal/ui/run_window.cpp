#include "terminal/ui/run_window.h"

#include <glib/gi18n-lib.h>
#include <vte/vte.h>

#include "documents/ui/document_page.h"
#include "shell/commands.h"
#include "shell/gobj.h"
#include "shell/ui/accessibility.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"
#include "terminal/run_plan.h"
#include "terminal/ui/terminal_panel.h"
#include "terminal/ui/terminal_view.h"
#include "tools/ui/projects.h"

namespace {

// Forgotten when its window is closed; the next run builds a new one.
GtkWidget*& run_terminal_ref() {
    static GtkWidget* terminal = nullptr;
    return terminal;
}

void on_run(GtkToolButton*, gpointer) {
    run_current_script();
}
void on_chmod(GtkToolButton*, gpointer) {
    chmod_current_script();
}
void on_clear(GtkToolButton*, gpointer) {
    terminal_clear();
}

GtkWidget* build_run_window() {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_set_name(window, "run_window");
    if (GtkWindow* main = main_window()) gtk_window_set_transient_for(GTK_WINDOW(window), main);
    gtk_window_resize(GTK_WINDOW(window), 900, 500);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(window), box);
    GtkWidget* toolbar = gtk_toolbar_new();
    gtk_widget_set_name(toolbar, "run_toolbar");
    gtk_toolbar_set_style(GTK_TOOLBAR(toolbar), GTK_TOOLBAR_ICONS);
    gtk_toolbar_set_icon_size(GTK_TOOLBAR(toolbar), GTK_ICON_SIZE_SMALL_TOOLBAR);
    toolbar_add_stock_button(toolbar, "gtk-execute", _("Run script/bin"), G_CALLBACK(on_run));
    toolbar_add_stock_button(toolbar, "gtk-apply", _("Chmod u+x script/bin"), G_CALLBACK(on_chmod));
    gtk_toolbar_insert(GTK_TOOLBAR(toolbar), gtk_separator_tool_item_new(), -1);
    toolbar_add_stock_button(toolbar, "gtk-clear", _("Clear terminal"), G_CALLBACK(on_clear));
    gtk_box_pack_start(GTK_BOX(box), toolbar, FALSE, FALSE, 0);

    GCharPtr folder(g_get_current_dir());
    GtkWidget* terminal = terminal_view_new(folder ? folder.get() : "");
    gtk_widget_set_name(terminal, "run_terminal");
    gtk_box_pack_start(GTK_BOX(box), terminal, TRUE, TRUE, 0);
    GtkWidget*& ref = run_terminal_ref();
    if (ref) g_object_remove_weak_pointer(G_OBJECT(ref), reinterpret_cast<gpointer*>(&ref));
    ref = terminal;
    g_object_add_weak_pointer(G_OBJECT(terminal), reinterpret_cast<gpointer*>(&ref));
    // The window replaces the previous one (whose shell goes with it) before
    // the new shell starts.
    run_window_replace(window);
    terminal_view_start(terminal);
    terminal_type(terminal, kRunPromptText);
    terminal_type(terminal, kRunClearText);
    gtk_widget_show_all(window);
    return window;
}

} // namespace

GtkWidget* run_terminal() {
    return run_terminal_ref();
}

void open_run_window() {
    if (!current_document()) return;
    build_run_window();
    run_current_script();
}

void run_current_script() {
    DocumentPage* page = current_document();
    if (!page) return;
    if (!page->is_file) {
        log_message(_("Le document %s n'est pas un fichier : sauvegardez-le avant de l'exécuter"),
                    page->path, LM_ADVICE);
        return;
    }
    if (!run_terminal()) {
        open_run_window();
        return;
    }
    RunPlan plan = run_plan(page->path, current_project());
    switch (plan.outcome) {
    case RunPlan::no_project:
        log_message(_("Aucun projet chargé pour compiler %s (Projets → Ouvrir un projet)"),
                    page->path, LM_ADVICE);
        return;
    case RunPlan::other_extension:
        log_message(_("%s : seuls les fichiers .sh, .pl, .c et .h s'exécutent"), page->path,
                    LM_ADVICE);
        break;
    case RunPlan::untypable:
        log_icon_error();
        log_message(_("%s : un nom contient un caractère de contrôle, rien n'est exécuté"),
                    page->path, LM_ERROR);
        break;
    case RunPlan::script:
    case RunPlan::project:
        if (page->buffer && gtk_text_buffer_get_modified(GTK_TEXT_BUFFER(page->buffer.get())))
            log_message(_("%s a des modifications non sauvegardées : c'est le fichier "
                          "sauvegardé qui s'exécute"),
                        page->path, LM_ADVICE);
        terminal_clear();
        terminal_type(run_terminal(), plan.typed);
        break;
    }
    status_message(_("Run Debug"));
}

void chmod_current_script() {
    DocumentPage* page = current_document();
    if (!page) return;
    if (!page->is_file) {
        log_message(_("Le document %s n'est pas un fichier : rien à rendre exécutable"), page->path,
                    LM_ADVICE);
        return;
    }
    const int status = run_shell_sync(chmod_command(page->path));
    if (status == 0) {
        log_icon_ok();
        log_message(_("[chmod] %s executable script OK"), page->path, LM_NORMAL);
        status_message(_("Chmod [OK]"));
        notify_user(_("Chmod [OK]"));
    } else {
        log_icon_error();
        log_message(_("[chmod] %s n'a pas pu être rendu exécutable"), page->path, LM_ERROR);
        status_message(_("Chmod [ERROR]"));
        notify_user(_("Chmod [ERROR]"));
    }
}

void terminal_clear() {
    if (GtkWidget* terminal = run_terminal())
        vte_terminal_reset(VTE_TERMINAL(terminal), TRUE, TRUE);
}
