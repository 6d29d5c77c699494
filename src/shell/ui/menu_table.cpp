#include "shell/ui/menu_table.h"

#include <glib/gi18n-lib.h>

#include "documents/recent_files.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/documents.h"
#include "documents/ui/highlighting.h"
#include "documents/ui/open.h"
#include "documents/ui/positions.h"
#include "documents/ui/save.h"
#include "documents/ui/search.h"
#include "documents/ui/typing.h"
#include "remote/ui/remote_pages.h"
#include "shell/config_dir.h"
#include "shell/gobj.h"
#include "shell/settings.h"
#include "shell/time_stamp.h"
#include "shell/ui/app.h"
#include "shell/ui/command_entry.h"
#include "shell/ui/preferences.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"
#include "snippets/ui/command_builder_dialogs.h"
#include "terminal/ui/run_window.h"
#include "tools/ui/external_tools_ui.h"
#include "tools/ui/html_tools_ui.h"
#include "tools/ui/links.h"
#include "tools/ui/scrapbook.h"
#include "tools/ui/projects.h"
#include "tools/ui/text_transform_ui.h"
#include "tools/ui/documentation.h"
#include "web/ui/mini_web.h"
#include "web/ui/product_windows.h"

namespace {

// Handlers of the operations this layer owns or hands to the document pages.

void on_new(GtkMenuItem*, gpointer) {
    indicator_ok();
    new_document();
}

void on_open(GtkMenuItem*, gpointer) {
    indicator_ok();
    open_file_dialog();
}

void on_open_last_recent(GtkMenuItem*, gpointer) {
    if (!recent_files().empty()) open_position_entry(recent_files().front());
}

void on_open_snippet(GtkMenuItem*, gpointer) {
    open_snippet_dialog();
}
void on_open_template(GtkMenuItem*, gpointer) {
    open_template_dialog();
}
void on_open_session_file(GtkMenuItem*, gpointer) {
    open_session_file_dialog();
}

void on_save(GtkMenuItem*, gpointer) {
    indicator_ok();
    save_current_document();
}

void on_save_as(GtkMenuItem*, gpointer) {
    indicator_ok();
    save_current_document_as();
}
void on_save_as_template(GtkMenuItem*, gpointer) {
    save_as_dialog(SaveAsKind::template_file);
}
void on_save_as_snippet(GtkMenuItem*, gpointer) {
    save_as_dialog(SaveAsKind::snippet);
}

void on_cfg_autoreplace(GtkMenuItem*, gpointer) {
    open_config_file(config_paths().autoreplace);
}
void on_cfg_autocomp(GtkMenuItem*, gpointer) {
    open_config_file(config_paths().autocomp);
}
void on_cfg_rc(GtkMenuItem*, gpointer) {
    open_config_file(config_paths().rc);
}
void on_cfg_iconv(GtkMenuItem*, gpointer) {
    open_config_file(config_paths().iconv_rc);
}
void on_cfg_user_menu(GtkMenuItem*, gpointer) {
    open_user_menu_file();
}
void on_cfg_bmx(GtkMenuItem*, gpointer) {
    open_config_file(config_paths().bmx);
}
void on_cfg_todo(GtkMenuItem*, gpointer) {
    open_config_file(config_paths().todo);
}
void on_cfg_myadmin(GtkMenuItem*, gpointer) {
    open_config_file(config_paths().myadmin);
}

void on_close_current(GtkMenuItem*, gpointer) {
    indicator_ok();
    close_current_document();
}

void on_quit(GtkMenuItem*, gpointer) {
    // Asked while the window is still there; Cancel keeps the program running.
    if (!documents_may_quit()) return;
    ui_state_save();
    gtk_main_quit();
}

void on_copy(GtkMenuItem*, gpointer) {
    doc_copy();
}
void on_cut(GtkMenuItem*, gpointer) {
    doc_cut();
}
void on_paste(GtkMenuItem*, gpointer) {
    doc_paste();
}
void on_undo(GtkMenuItem*, gpointer) {
    doc_undo();
}
void on_redo(GtkMenuItem*, gpointer) {
    doc_redo();
}

void on_insert_date_time(GtkMenuItem*, gpointer) {
    if (current_document_buffer()) doc_insert_at_cursor(time_stamp(settings().date_time));
}

void on_dump_menu(GtkMenuItem*, gpointer) {
    new_document();
    if (current_document_buffer()) doc_insert_at_cursor(menu_dump());
}

void on_focus_command_entry(GtkMenuItem*, gpointer) {
    GtkTextBuffer* buffer = current_document_buffer();
    GtkWidget* entry = command_entry();
    if (!buffer || !entry) return;
    gtk_entry_set_text(GTK_ENTRY(entry), "");
    GtkTextIter start, end;
    if (gtk_text_buffer_get_selection_bounds(buffer, &start, &end)) {
        GCharPtr text(gtk_text_buffer_get_text(buffer, &start, &end, FALSE));
        gtk_entry_set_text(GTK_ENTRY(entry), text.get());
    }
    gtk_widget_grab_focus(entry);
}

void on_focus_text(GtkMenuItem*, gpointer) {
    if (GtkWidget* view = current_document_view()) gtk_widget_grab_focus(view);
}

void set_theme(const char* scheme) {
    theme_command(scheme);
}
void on_theme_classic(GtkMenuItem*, gpointer) {
    set_theme("classic");
}
void on_theme_cobalt(GtkMenuItem*, gpointer) {
    set_theme("cobalt");
}
void on_theme_kate(GtkMenuItem*, gpointer) {
    set_theme("kate");
}
void on_theme_oblivion(GtkMenuItem*, gpointer) {
    set_theme("oblivion");
}
void on_theme_tango(GtkMenuItem*, gpointer) {
    set_theme("tango");
}

// Row makers, so that the table below reads like the menu itself.
MenuEntry menu(const char* label, bool detach = true) {
    return {MenuRow::menu, label, true, nullptr, nullptr, detach};
}
MenuEntry dynamic_menu(const char* label, DynamicMenu which) {
    return {MenuRow::menu, label, true, nullptr, nullptr, false, which};
}
MenuEntry sub(const char* label, bool detach = true) {
    return {MenuRow::submenu, label, true, nullptr, nullptr, detach};
}
MenuEntry dyn(const char* label, DynamicMenu which, bool detach = false) {
    return {MenuRow::dynamic, label, true, nullptr, nullptr, detach, which};
}
MenuEntry item(const char* label, const char* accel = nullptr, MenuHandler handler = nullptr) {
    return {MenuRow::item, label, true, accel, handler};
}
MenuEntry item(const char* label, MenuHandler handler) {
    return {MenuRow::item, label, true, nullptr, handler};
}
// A label shown as it stands, never translated.
MenuEntry raw(const char* label, const char* accel = nullptr, MenuHandler handler = nullptr) {
    return {MenuRow::item, label, false, accel, handler};
}
MenuEntry sep() {
    return {MenuRow::separator};
}
MenuEntry end() {
    return {MenuRow::end};
}

constexpr bool no_detach = false;

} // namespace

// Entries without a handler belong to operations that other modules attach.
const std::vector<MenuEntry>& menu_table() {
    // The indentation shows the nesting of the menus.
    // clang-format off
    static const std::vector<MenuEntry> table = {
        menu(N_("Fichier")),
            item(N_("Nouveau"), "<Control>n", on_new),
            item(N_("Crapbook"), "<Alt>m", menu_command<scrapbook_show>),
            item(N_("Ajouter un marque page"), menu_command<add_bookmark_command>),
            item(N_("Doc Gen"), menu_command<doc_gen_command>),
            sep(),
            item(N_("Ouvrir"), "<Control>o", on_open),
            item(N_("Dérniers fichiers ouvert"), on_open_last_recent),
            sub(N_("Ouvrir different fichiers"), no_detach),
                item(N_("Ouvrir un snippet"), on_open_snippet),
                item(N_("Ouvrir un template"), on_open_template),
                item(N_("Ouvrir un fichier de session"), on_open_session_file),
            end(),
            sep(),
            dyn(N_("Fichier recents"), DynamicMenu::recent_files),
            dyn(N_("Marque page"), DynamicMenu::bookmarks),
            dyn(N_("Sessions"), DynamicMenu::sessions),
            dyn(N_("Templates"), DynamicMenu::templates),
            sep(),
            item(N_("Sauvegarder"), "<Control>s", on_save),
            item(N_("Sauvegarder sous"), on_save_as),
            sub(N_("Sauvegarder different fichiers"), no_detach),
                item(N_("Sauvegarder session"), menu_command<save_session_command>),
                item(N_("Sauvegarder sous un template"), on_save_as_template),
                item(N_("Sauvegarder sous un snippet"), on_save_as_snippet),
                item(N_("Sauvegarder version"), "<Alt>s", menu_command<save_version_command>),
                item(N_("Backup"), menu_command<backup_command>),
                item(N_("Revenir à la sauvegarde"), menu_command<revert_command>),
            end(),
            sep(),
            sub(N_("Manager le fichier de configuration"), no_detach),
                item(N_("Fichier autoremplacement"), on_cfg_autoreplace),
                item(N_("File autocomp"), on_cfg_autocomp),
                item(N_("Configuration principale"), on_cfg_rc),
                item(N_("Charsets configuration"), on_cfg_iconv),
                item(N_("Configuration du Menu utilisateur"), on_cfg_user_menu),
                item(N_("Fichier de marque page"), on_cfg_bmx),
                item(N_("Fichier de configuration todo liste"), on_cfg_todo),
                item(N_("Fichier de configuration MyAdmin"), "<Alt>n", on_cfg_myadmin),
                item(N_("Recharger MyAdmin"), "<Alt>h", menu_command<myadmin_list_reload_command>),
            end(),
            item(N_("Preferences"), menu_command<preferences_open>),
            sep(),
            item(N_("Fermer le fichier encours"), "<Alt>q", on_close_current),
            item(N_("Quiter Orvane"), on_quit),

        menu(N_("Editer")),
            item(N_("Indent"), menu_command<indent_command>),
            item(N_("Undindent"), menu_command<unindent_command>),
            sep(),
            item(N_("Copier"), on_copy),
            item(N_("Copier tous le contenu du fichier"), menu_command<doc_copy_all>),
            item(N_("Couper"), on_cut),
            item(N_("Coller"), on_paste),
            item(N_("Echanger avec le presse papier"), menu_command<doc_exchange_clipboard>),
            item(N_("Supprimer"), menu_command<doc_delete_selection>),
            sep(),
            item(N_("Couper et nouveau fichier"), menu_command<doc_cut_to_new_document>),
            item(N_("Copier et nouveau fichier"), menu_command<doc_copy_to_new_document>),
            item(N_("Coller et nouveau fichier"), menu_command<doc_paste_to_new_document>),
            item(N_("Ajouter au Crapbook"), "<Control>e", menu_command<scrapbook_add_selection>),
            sep(),
            item(N_("Tout séléctionner"), "<Control>a", menu_command<doc_select_all>),
            item(N_("Supprimer la ligne"), "<Control>y", menu_command<delete_line_command>),
            sep(),
            item(N_("Annuler action"), "<Control>z", on_undo),
            item(N_("Refaire action"), "<Control><Shift>z", on_redo),

        menu(N_("Rechercher")),
            item(N_("BookMark"), "<Alt>b", menu_command<text_bookmark_command>),
            item(N_("Rechercher et remplacer fenêtre"),
                 menu_command<search_replace_window_command>),
            item(N_("Rechercher (le texte en zone de commande)"), "<Control>f",
                 menu_command<find_command>),
            item(N_("Rechercher avec case insensitive (le texte en zone de commande)"),
                 "<Control><Shift>f", menu_command<find_nocase_command>),
            item(N_("Rechercher suivant (le texte en zone de commande)"), "F3",
                 menu_command<find_next_command>),
            item(N_("Rechercher suivant avec case insensitive (le texte en zone de commande)"),
                 "<Shift>F3", menu_command<find_next_nocase_command>),
            item(N_("Aller à la ligne"), "<Alt>g", menu_command<goto_line_command>),
            item(N_("Tout remplacer (Ligne de commande TEXTE_RECHERCHE~TEXTE_REMPLACEMENT)"), "F1",
                 menu_command<replace_all_command>),
            item(N_("Scan lien HTML local (HREF)"), menu_command<local_link_scan_command>),
            item(N_("Scan d'image HTML (SRC)"), "<Shift>F7", menu_command<image_scan_command>),

        menu(N_("Fonctions")),
            item(N_("Insert un chemin de fichier PATH"), menu_command<path_prompt_command>),
            sub(N_("Analyser de texte UNIversal")),
                item(N_("UNITAZ avec trie abc"), on_text_transform_item),
                item(N_("UNITAZ avec trie par compte"), on_text_transform_item),
                item(N_("UNITAZ avec trie abc avec case insensitive"), on_text_transform_item),
                item(N_("UNITAZ avec trie par compte case insensitive"), on_text_transform_item),
                item(N_("UNITAZ plaine"), on_text_transform_item),
                item(N_("Extraire des mots"), on_text_transform_item),
            end(),
            sep(),
            dyn(N_("Snippets"), DynamicMenu::snippets),
            dyn(N_("Menu utilisateur"), DynamicMenu::user_menu),
            sep(),
            sub(N_("Inserer")),
                item(N_("Date/Time"), on_insert_date_time),
                item(N_("Dump menu"), on_dump_menu),
            end(),
            sub(N_("Caractères")),
                item(N_("Majuscule"), "<Control>Up", on_text_transform_item),
                item(N_("Minuscule"), "<Control>Down", on_text_transform_item),
                item(N_("Majuscule sur la première lettre de chaque mot"), on_text_transform_item),
            end(),
            sub(N_("Nombres")),
                item(N_("Arabe à Roman"), on_text_transform_item),
                item(N_("Hexadécimal au format décimal"), on_text_transform_item),
                item(N_("Binaire en décimal"), on_text_transform_item),
                item(N_("Compteur"), on_text_transform_item),
            end(),
            sub(N_("Format")),
                item(N_("Tuez le formatage"), "<Alt>d", on_text_transform_item),
                item(N_("Tuez le formatage sur chaque ligne"), on_text_transform_item),
                item(N_("Envelopper première à la position"), on_text_transform_item),
                item(N_("Envelopper sur les espaces à la position"), on_text_transform_item),
                item(N_("Tuez les espaces au début de chaque ligne"), on_text_transform_item),
                item(N_("Tuez espaces à la fin de chaque ligne"), on_text_transform_item),
            end(),
            sub(N_("Trier")),
                item(N_("Trier les lignes"), on_text_transform_item),
                item(N_("Trier les lignes en longueur"), on_text_transform_item),
                item(N_("Trier les lignes avec case insensetive"), on_text_transform_item),
                item(N_("Inverser l'ordre des lignes"), on_text_transform_item),
            end(),
            sub(N_("Chaîne")),
                item(N_("Inerser"), on_text_transform_item),
                item(N_("Supprimer les lignes vides"), on_text_transform_item),
                item(N_("Tuez les doublons"), on_text_transform_item),
                item(N_("Numeroter les lignes"), on_text_transform_item),
                item(N_("Shuffle lines"), on_text_transform_item),
                item(N_("Convertir des tabulations en espaces"), on_text_transform_item),
                item(N_("Convertir des espaces en tabulations"), on_text_transform_item),
                item(N_("Appliquer un modèle à chaque ligne en séléction (sur la ligne de "
                        "commande Ex: %s<br>)"),
                     "<Alt>e", on_text_transform_item),
            end(),
            sub(N_("Filtrer")),
                item(N_("Tuez les lignes qui contiennent une expression"), on_text_transform_item),
                item(N_("Tuez toutes les lignes sauf une phrase"), on_text_transform_item),
                item(N_("Tuez toutes les lignes < N caractères"), on_text_transform_item),
                item(N_("Tuez toutes les lignes > N caractères"), on_text_transform_item),
            end(),
            sub(N_("Fin de ligne"), no_detach),
                item(N_("CR/LF to LF"), on_text_transform_item),
                item(N_("LF to CR/LF"), on_text_transform_item),
            end(),
            item(N_("Recherche avec google du texte en séléction dans l'onglet MyAdmin"), "F8",
                 menu_command<web_search_selection_command>),
            item(N_("Traduction avec google du texte en séléction dans l'onglet MyAdmin FR vers "
                    "EN"),
                 "F6", menu_command<translate_french_to_english_command>),
            item(N_("Traduction avec google du texte en séléction dans l'onglet MyAdmin EN vers "
                    "FR"),
                 "F7", menu_command<translate_english_to_french_command>),

        menu(N_("Html")),
            sub(N_("HTML outils")),
                item(N_("Template de base"), menu_command<html_skeleton_command>),
                item(N_("Tableau de base"), "<Control><Shift>t", menu_command<html_table_command>),
                item(N_("Supprimer les balises HTML de la séléction"),
                     menu_command<html_strip_tags_command>),
                item(N_("Lien autour de la séléction"), menu_command<html_link_around_selection>),
                item(N_("Convertir les caractères spéciaux"), menu_command<html_escape_command>),
                item(N_("Afficher le poids du document"), menu_command<page_weight_command>),
            end(),
            sub(N_("Inserer un DOCTYPE")),
                raw("HTML 4.1 Transitional", nullptr, on_html_doctype_item),
                raw("HTML 4.1 Strict", nullptr, on_html_doctype_item),
                raw("HTML 4.1 Frameset", nullptr, on_html_doctype_item),
                raw("XHTML 1.0 Strict", nullptr, on_html_doctype_item),
                raw("XHTML 1.0 Transitional", nullptr, on_html_doctype_item),
                raw("XHTML 1.0 Frameset", nullptr, on_html_doctype_item),
                raw("WML 1.1", nullptr, on_html_doctype_item),
            end(),
            dyn(N_("Caractères spéciaux HTML"), DynamicMenu::html_entities, true),
            sep(),
            item(N_("Gras"), "<Control><Alt>b", menu_command<html_bold_command>),
            item(N_("Italique"), "<Alt>i", menu_command<html_italic_command>),
            item(N_("Souligner"), menu_command<html_underline_command>),
            sep(),
            item(N_("Commenter"), "<Alt>slash", menu_command<html_comment_command>),
            item(N_("Paragraphe"), "<Alt>p", menu_command<html_paragraph_command>),
            item(N_("Lien"), "<Alt>l", menu_command<html_link_command>),
            item(N_("Couleur"), "<Alt>c", menu_command<html_color_command>),
            item(N_("Image"), menu_command<html_image_around_selection>),
            item(N_("Retour chariot"), "<Control>Return", menu_command<html_line_break_command>),
            raw("Espace", "<Control><Shift>space", menu_command<html_space_command>),
            sep(),
            sub(N_("Eléments de tableau")),
                raw("table", nullptr, on_html_tag_item),
                raw("tr", nullptr, on_html_tag_item),
                raw("td", nullptr, on_html_tag_item),
            end(),
            sub(N_("H")),
                raw("h1", nullptr, on_html_tag_item),
                raw("h2", nullptr, on_html_tag_item),
                raw("h3", nullptr, on_html_tag_item),
                raw("h4", nullptr, on_html_tag_item),
                raw("h5", nullptr, on_html_tag_item),
                raw("h6", nullptr, on_html_tag_item),
            end(),
            sub(N_("Aligner")),
                item(N_("Centrer"), on_html_align_item),
                item(N_("Gauche"), on_html_align_item),
                item(N_("Droite"), on_html_align_item),
                item(N_("Justifier"), on_html_align_item),
            end(),

        menu(N_("Projets")),
            item(N_("Nouveau projet"), menu_command<project_new_command>),
            item(N_("Ouvrir un projet"), menu_command<project_open_command>),
            item(N_("Sauvegarder le projet"), menu_command<project_save_command>),
            item(N_("Sauvegarder le projet sous"), menu_command<project_save_as_command>),
            item(N_("Propriété du projet"), menu_command<project_properties_command>),
            item(N_("Make"), "<Shift>F11", menu_command<project_make_command>),
            item(N_("Executer"), "<Shift>F12", menu_command<open_run_window>),
            item(N_("Monter un serveur en SFTP (SSH)"), "<Shift>F9",
                 menu_command<sftp_mount_dialog_command>),
            item(N_("Monter un serveur FTP (FTPFS)"), menu_command<ftp_mount_dialog_command>),
            item(N_("Démonter le dérnier serveur monté en SFTP/FTP"), "<Shift>F10",
                 menu_command<remote_unmount_command>),

        dynamic_menu(N_("Onglets"), DynamicMenu::open_documents),

        menu(N_("Navigateurs")),
            raw("Opera", nullptr, on_browser_item),
            raw("Konqueror", nullptr, on_browser_item),
            raw("Firefox", nullptr, on_browser_item),
            raw("Mozilla", nullptr, on_browser_item),
            raw("Galeon", nullptr, on_browser_item),
            raw("Dillo", nullptr, on_browser_item),
            raw("Elinks", nullptr, on_browser_item),
            raw("Links", nullptr, on_browser_item),
            raw("Lynx", nullptr, on_browser_item),
            raw("Epiphany", nullptr, on_browser_item),

        menu(N_("Navigation")),
            item(N_("Scan des liens dans la page"), menu_command<link_scan_command>),
            dyn(N_("Liens"), DynamicMenu::links),
            item(N_("Aller au début du bloque {"), "<Alt>Left", menu_command<block_start_command>),
            item(N_("Aller à la fin du bloque }"), "<Alt>Right", menu_command<block_end_command>),
            item(N_("Aller à un onglet récent"), menu_command<goto_recent_tab>),
            item(N_("Aller à l'onglet suivant"), "<Control>Page_Up", menu_command<goto_next_tab>),
            item(N_("Allez à l'onglet précédent"), "<Control>Page_Down",
                 menu_command<goto_previous_tab>),
            item(N_("Aller au premier onglet"), menu_command<goto_first_tab>),
            item(N_("Aller au dérnier onglet"), menu_command<goto_last_tab>),
            item(N_("Aller à la séléction"), menu_command<goto_recent_tab>),
            item(N_("Focus sur la ligne de commande"), "<Control>w", on_focus_command_entry),
            item(N_("Reload Mini Web"), "<Control>r", menu_command<mini_web_load>),
            item(N_("Focus et chargement de la page courante dans l'onglet Mini Web"),
                 "<Control>d", menu_command<mini_web_load_document>),
            item(N_("Focus sur le texte"), "<Control>b", on_focus_text),
            item(N_("Ouvrir au cursor"), menu_command<open_at_cursor>),
            item(N_("Editer au cursor"), menu_command<edit_at_cursor>),

        menu(N_("Vue")),
            dyn(N_("Co"), DynamicMenu::charsets),
            sub(N_("Coloration syntaxique"), no_detach),
                raw("none", nullptr, on_highlight_mode_item),
                raw("HTML", nullptr, on_highlight_mode_item),
                raw("JAVASCRIPT", nullptr, on_highlight_mode_item),
                raw("XML", nullptr, on_highlight_mode_item),
                raw("CSS", nullptr, on_highlight_mode_item),
                raw("PHP", nullptr, on_highlight_mode_item),
                raw("PERL", nullptr, on_highlight_mode_item),
                raw("BASH Script", nullptr, on_highlight_mode_item),
                raw("C", nullptr, on_highlight_mode_item),
                raw("C++", nullptr, on_highlight_mode_item),
                raw("gettext PO file", nullptr, on_highlight_mode_item),
                raw("Python", nullptr, on_highlight_mode_item),
                raw("Ruby", nullptr, on_highlight_mode_item),
                raw("JAVA", nullptr, on_highlight_mode_item),
            end(),
            item(N_("Rafraichir la coloration syntaxique"), "F5",
                 menu_command<refresh_highlighting_command>),
            item(N_("Retour à la ligne"), "<Alt>w", menu_command<toggle_wrap_command>),
            item(N_("Afficher les images dans le texte"), menu_command<inline_pictures_command>),
            item(N_("Switcher entre header/source"), "<Control>h",
                 menu_command<switch_header_source>),
            sub(N_("Themes"), no_detach),
                item(N_("Theme Classic (Default)"), on_theme_classic),
                item(N_("Theme Cobalt"), on_theme_cobalt),
                item(N_("Theme Kate"), on_theme_kate),
                item(N_("Theme Oblivion"), on_theme_oblivion),
                item(N_("Theme Tango"), on_theme_tango),
            end(),

        menu(N_("Aide")),
            item(N_("Vérifiez votre version de Orvane IDE"), menu_command<version_window_command>),
            item(N_("Lire le manuel/documentation de Orvane IDE"),
                 menu_command<manual_window_command>),
            item(N_("Envoyer un rapport de bug"), menu_command<bug_report_window_command>),
            item(N_("A-propos de Orvane IDE"), menu_command<about_box_command>),
            sep(),
    };
    // clang-format on
    return table;
}
