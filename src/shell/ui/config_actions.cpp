#include "shell/ui/config_actions.h"

#include <glib/gi18n-lib.h>
#include <vector>

#include "shell/config_dir.h"
#include "shell/ui/command_entry.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/report.h"

namespace {
std::vector<void (*)()>& apply_hooks() {
    static std::vector<void (*)()> hooks;
    return hooks;
}
} // namespace

void settings_apply_hook_add(void (*hook)()) {
    for (auto h : apply_hooks())
        if (h == hook) return;
    apply_hooks().push_back(hook);
}

void settings_apply() {
    log_apply_error_tag_colors();
    for (auto hook : apply_hooks())
        hook();
}

void apply_text_colors() {
    if (GtkWidget* view = log_view()) apply_text_colors_to(view);
    if (GtkWidget* entry = command_entry()) apply_text_colors_to(entry);
}

void config_reload_and_apply() {
    config_load();
    apply_text_colors();
    settings_apply();
}

void settings_write(const Settings& values) {
    lines_to_file(settings_write_lines(values), config_paths().rc);
    config_reload_and_apply();
}

void config_backup() {
    config_save_copy(config_paths());
}

void config_restore(GtkWindow* parent) {
    config_restore_copy(config_paths());
    config_reload_and_apply();
    show_message(parent, _("Configuration restaurée, s'il vous plaît fermez et rouvrez la "
                           "fenêtre Préférences."));
}

void config_reset(GtkWindow* parent) {
    if (!config_delete_rc(config_paths())) return;
    config_reload_and_apply();
    show_message(parent, _("Configuration remis à zéro par défaut, s'il vous plaît fermez et "
                           "rouvrez la fenêtre Préférences."));
}
