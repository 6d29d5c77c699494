#include "shell/ui/config_actions.h"

#include <glib/gi18n-lib.h>
#include <vector>

#include "documents/safe_write.h"
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

namespace {
// Larger than any configuration the program writes.
constexpr std::size_t kRcMaxBytes = 4u << 20;

bool write_rc(const std::string& bytes) {
    const std::string& path = config_paths().rc;
    const WriteResult result = write_file_safely(path, bytes);
    if (result.ok) return true;
    log_icon_error();
    log_message(_("Ne peut pas écrire %s"), path + " (" + result.error + ")", LM_ERROR);
    status_message(_("Configuration [ERROR]"));
    return false;
}
} // namespace

bool settings_write(const Settings& values) {
    std::string bytes;
    for (const auto& line : settings_write_lines(values))
        bytes += line + '\n';
    if (!write_rc(bytes)) return false;
    config_reload_and_apply();
    return true;
}

void config_backup() {
    if (config_save_copy(config_paths())) return;
    log_icon_error();
    log_message(_("Ne peut pas écrire %s"), config_paths().rc + ".bak", LM_ERROR);
}

bool config_restore(GtkWindow* parent) {
    const std::string backup = config_paths().rc + ".bak";
    if (!g_file_test(backup.c_str(), G_FILE_TEST_EXISTS)) {
        show_message(parent, _("Il n'y a pas de sauvegarde de la configuration à restaurer."));
        return false;
    }
    auto bytes = file_read_regular(backup, kRcMaxBytes);
    if (!bytes) {
        log_icon_error();
        log_message(_("Ne peut pas lire %s"), backup, LM_ERROR);
        show_message(parent, _("La sauvegarde de la configuration ne peut pas être lue."));
        return false;
    }
    if (!write_rc(*bytes)) return false;
    config_reload_and_apply();
    show_message(parent, _("Configuration restaurée, s'il vous plaît fermez et rouvrez la "
                           "fenêtre Préférences."));
    return true;
}

bool config_reset(GtkWindow* parent) {
    if (!config_delete_rc(config_paths())) return false;
    config_reload_and_apply();
    show_message(parent, _("Configuration remis à zéro par défaut, s'il vous plaît fermez et "
                           "rouvrez la fenêtre Préférences."));
    return true;
}
