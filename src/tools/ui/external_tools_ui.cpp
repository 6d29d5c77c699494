#include "tools/ui/external_tools_ui.h"

#include <glib/gi18n-lib.h>

#include "documents/ui/document_page.h"
#include "shell/commands.h"
#include "shell/settings.h"
#include "shell/ui/command_entry.h"
#include "shell/ui/menu_builders.h"
#include "shell/ui/report.h"
#include "tools/external_tools.h"

namespace {
void refuse(const char* text) {
    log_icon_error();
    log_message(text, LM_ERROR);
    status_message(text);
}
} // namespace

void devhelp_search_command() {
    const std::string text = command_entry_text();
    if (!program_on_path("devhelp")) {
        log_icon_error();
        log_message(_("Vous devez installer le package DevHelp"), LM_ERROR);
        status_message(_("Search DevHelp [ERROR]"));
        return;
    }
    if (!run_shell_async(devhelp_command(text))) {
        log_icon_error();
        log_message(_("%s : DevHelp n'a pas pu être lancé"), text, LM_ERROR);
        status_message(_("Search DevHelp [ERROR]"));
        return;
    }
    log_message(_("%s Recherche dans DevHelp"), text, LM_NORMAL);
    status_message(_("Search DevHelp [OK]"));
}

void gimp_open_address(const std::string& address) {
    if (!program_on_path("gimp")) {
        refuse(_("Vous devez installer le package gimp pour utiliser la fonction edition "
                 "d'image"));
        return;
    }
    auto command = gimp_command(address);
    if (!command) {
        log_icon_error();
        log_message(_("%s : adresse refusée pour gimp"), address, LM_ERROR);
        return;
    }
    run_shell_async(*command);
}

void browser_open(const std::string& item) {
    indicator_ok();
    DocumentPage* page = current_document();
    if (!page) return;
    auto templ = browser_template(settings(), item);
    if (!templ) return;
    if (!page->is_file) {
        log_message(_("Le document %s n'est pas un fichier : sauvegardez-le pour l'ouvrir dans "
                      "un navigateur"),
                    page->path, LM_ADVICE);
        return;
    }
    const std::string command = browser_command(*templ, page->path);
    // A program the template names plainly is looked for first, so that a
    // missing browser says so instead of failing unseen.
    if (auto program = command_program(command); program && !program_on_path(*program)) {
        log_icon_error();
        log_message(_("Le navigateur %s n'est pas installé (introuvable dans le PATH)"), *program,
                    LM_ERROR);
        status_message(_("Browser [ERROR]"));
        return;
    }
    if (!run_shell_async(command)) {
        log_icon_error();
        log_message(_("Le navigateur %s n'a pas pu être lancé"), item, LM_ERROR);
        status_message(_("Browser [ERROR]"));
    }
}

void on_browser_item(GtkMenuItem* item, gpointer) {
    browser_open(menu_item_name(item));
}
