#include "shell/ui/command_entry.h"

#include <gdk/gdkkeysyms.h>
#include <glib/gi18n-lib.h>

#include "shell/config_dir.h"
#include "shell/entry_rules.h"
#include "shell/settings.h"
#include "shell/ui/accessibility.h"
#include "shell/ui/report.h"

namespace {
struct CommandEntry {
    GtkWidget* entry = nullptr;
    GtkListStore* completion_model = nullptr; // owned by the completion
    Lines history;
};

CommandEntry& ce() {
    static CommandEntry c;
    return c;
}

void completion_append(const char* text) {
    if (!ce().completion_model) return;
    GtkTreeIter iter;
    gtk_list_store_append(ce().completion_model, &iter);
    gtk_list_store_set(ce().completion_model, &iter, 0, text, -1);
}

} // namespace

GtkWidget* command_entry_create() {
    auto& c = ce();
    c.entry = gtk_entry_new();
    g_object_add_weak_pointer(G_OBJECT(c.entry), reinterpret_cast<gpointer*>(&c.entry));
    gtk_widget_set_name(c.entry, "command_entry");
    set_accessible_name(c.entry, _("Ligne de commande"));
    gtk_entry_set_width_chars(GTK_ENTRY(c.entry), 50);

    GtkEntryCompletion* completion = gtk_entry_completion_new();
    c.completion_model = gtk_list_store_new(1, G_TYPE_STRING);
    gtk_entry_completion_set_model(completion, GTK_TREE_MODEL(c.completion_model));
    g_object_add_weak_pointer(G_OBJECT(c.completion_model),
                              reinterpret_cast<gpointer*>(&c.completion_model));
    g_object_unref(c.completion_model);
    gtk_entry_completion_set_text_column(completion, 0);
    gtk_entry_set_completion(GTK_ENTRY(c.entry), completion);
    g_object_unref(completion);
    for (const auto& line : c.history)
        completion_append(line.c_str());

    apply_text_colors_to(c.entry);
    return c.entry;
}

GtkWidget* command_entry() {
    return ce().entry;
}

std::string command_entry_text() {
    return ce().entry ? gtk_entry_get_text(GTK_ENTRY(ce().entry)) : "";
}

void command_entry_completion_append(std::string_view text) {
    completion_append(std::string(text).c_str());
}

void command_entry_prompt(std::string_view example) {
    indicator_ok();
    GtkWidget* entry = ce().entry;
    if (!entry) return;
    if (gtk_entry_get_text_length(GTK_ENTRY(entry)) == 0) {
        std::string text(example);
        gtk_entry_set_text(GTK_ENTRY(entry), text.c_str());
        log_icon_help();
        log_message(_("La documentation est disponible dans le menu \"Aide->Lire le "
                      "manuel/documentation de Orvane IDE\""),
                    LM_ERROR);
    }
    command_history_push(ce().history, gtk_entry_get_text(GTK_ENTRY(entry)),
                         settings().famous_history_max);
}

void command_history_load() {
    auto lines = file_to_lines(config_paths().gl_famous);
    ce().history = lines ? lines_copy_nonempty(*lines) : Lines{};
}

const Lines& command_history() {
    return ce().history;
}
void command_history_clear() {
    ce().history.clear();
}
