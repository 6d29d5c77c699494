#include "shell/preference_rows.h"

#include <glib/gi18n-lib.h>

#include "shell/gobj.h"

namespace {
using K = PreferenceKind;

PreferenceRow check(const char* label, const char* key) {
    return {K::check, label, key};
}
PreferenceRow text(const char* label, const char* key) {
    return {K::text, label, key};
}
PreferenceRow font(const char* label, const char* key) {
    return {K::font, label, key};
}
PreferenceRow colour(const char* label, const char* key) {
    return {K::colour, label, key};
}
PreferenceRow number(const char* label, const char* key) {
    return {K::number, label, key};
}
PreferenceRow folder(const char* label, const char* key) {
    return {K::folder, label, key};
}
PreferenceRow heading(const char* label) {
    return {K::heading, label};
}
PreferenceRow label(const char* text) {
    return {K::label, text};
}
PreferenceRow inner_page(const char* title) {
    return {K::inner_page, title};
}
// Browser names are the programs' own and stay as they are.
PreferenceRow browser(const char* name, const char* key) {
    return {K::text, name, key, false};
}
} // namespace

const std::vector<PreferencePage>& preference_pages() {
    // clang-format off
    static const std::vector<PreferencePage> pages = {
        {N_("Principale"), false, {
            check(N_("Lancer Orvane avec un fichier récent"), "start_with_recent_file"),
            check(N_("Lancer Orvane avec un fichier vide"), "start_with_blank_file"),
            check(N_("Déterminer la coloration syntaxique par le contenu du fichier"),
                  "do_det_scripts_by_content"),
            check(N_("Mode XHTML pour des Markup"), "xhtml_mode"),
            check(N_("Utiliser les snippets"), "use_snippets"),
            check(N_("Utiliser le visualisateur d'image externe"), "use_ext_image_viewer"),
            check(N_("Coloration de la syntaxe à l'ouverture du fichier"), "do_hl_on_fileopen"),
            check(N_("Fichier backup"), "do_backup"),
            check(N_("Afficher les numéros de ligne"), "show_line_nums"),
            check(N_("Word wrap"), "word_wrap"),
            check(N_("Analyser les liens à l'ouverture de fichier"), "scan_for_links_on_doc_open"),
        }},
        {N_("Encodage"), true, {
            heading(N_("Defaults")),
            label(N_("Default charset pour fichier ouvert")),
            label(N_("Default charset pour fichier sauvegardé sous")),
            heading(N_("Misc")),
            text(N_("Default charset pour RTF"), "rtf_enc"),
            heading(N_("Autodetect")),
            check(N_("CP 1251"), "enc_det_cp1251"),
            check(N_("KOI8-R"), "enc_det_koi8r"),
            check(N_("KOI8-U"), "enc_det_koi8u"),
            check(N_("DOS 866"), "enc_det_866"),
            check(N_("Finnish"), "enc_det_finnish"),
            check(N_("German"), "enc_det_german"),
            check(N_("Serbian"), "enc_det_serbian"),
            check(N_("Latvian"), "enc_det_latvian"),
            check(N_("Polish"), "enc_det_polish"),
            check(N_("Portuguese"), "enc_det_portuguese"),
            check(N_("Slovak"), "enc_det_slovak"),
            check(N_("Slovenian"), "enc_det_slovenian"),
            check(N_("Spanish"), "enc_det_spanish"),
            check(N_("Turkish"), "enc_det_turkish"),
        }},
        {N_("Fonctions"), false, {
            text(N_("Format de la date et de l'heure"), "date_time"),
            text(N_("Le format de la fonction Couleur"), "fmt_color_function"),
        }},
        {N_("Interface"), false, {
            check(N_("Afficher le chemin complet dans le titre de la fenêtre"),
                  "main_wnd_show_full_path"),
            number(N_("Largeur de l'image thumbnail"), "thumb_width"),
            number(N_("Hauteur de l'image thumbnail"), "thumb_height"),
        }},
        {N_("Limites"), false, {
            number(N_("Max de fichiers récents"), "max_recent_items"),
        }},
        {N_("Fonts"), false, {
            font(N_("Editeur font"), "editor_font"),
            font(N_("Commentaires font"), "tag_comment_font"),
            font(N_("Identificateurs font"), "tag_identifier_font"),
            font(N_("Chiffres font"), "tag_digit_font"),
            font(N_("Chaîne de caractère"), "tag_string_font"),
            font(N_("HTML tags font"), "tag_html_tag_font"),
            font(N_("Preprocessor font"), "tag_preprocessor_font"),
            font(N_("Types font"), "tag_type_font"),
        }},
        {N_("Editeur"), false, {
            number(N_("Taille des tabulations en espaces"), "tab_size"),
            check(N_("Insérer des espaces sur la touche TAB"), "ins_spaces_on_tab_press"),
            check(N_("Indentation automatique"), "use_auto_indent"),
            check(N_("Afficher les informations ESPACE,TAB,RETOUR CHARIOT..."), "use_infotext"),
            check(N_("Activer la correction d'orthographe"), "use_spellcheck"),
        }},
        {N_("Navigateurs"), false, {
            browser("Opera", "opera"),
            browser("Konqueror", "konqueror"),
            browser("Firefox", "firefox"),
            browser("Mozilla", "mozilla"),
            browser("Links", "links"),
            browser("Elinks", "elinks"),
            browser("Dillo", "dillo"),
            browser("Galeon", "galeon"),
            browser("Epiphany", "epiphany"),
            browser("Other", "other_browser"),
            browser("Lynx", "lynx"),
            text(N_("Browser for the manual"), "def_doc_browser"),
            check(N_("Utilisez votre navigateur"), "use_def_doc_browser"),
        }},
        {N_("Couleurs"), false, {
            inner_page(N_("Editeur")),
            colour(N_("Avant-plan du texte"), "text_foreground"),
            colour(N_("Arrière-plan du texte"), "text_background"),
            colour(N_("Plan sélectionné"), "text_sel_foreground"),
            colour(N_("Arrière-plan sélectionnée"), "text_sel_background"),
            colour(N_("Marques de vérification orthographique"), "tag_spellcheck"),
            inner_page(N_("IDE")),
            colour(N_("Errors avant-plan (logmemo)"), "tag_color_lm_error_fg"),
            colour(N_("Errors arrière-plan du texte (logmemo)"), "tag_color_lm_error_bg"),
        }},
        {N_("Commandes"), false, {
            text(N_("Éditeur d'image externe"), "ext_pic_editor"),
            text(N_("Visionneuse d'image externe"), "ext_pic_viewer"),
            text(N_("Lancez MPlayer avec les sous-titres"), "cm_mplayer"),
        }},
        {N_("Paths"), false, {
            folder(N_("Default file saving directory"), "def_save_dir"),
            check(N_("Use default saving directory"), "use_def_save_dir"),
            folder(N_("Default file opening directory"), "def_open_dir"),
            check(N_("Use default file opening directory"), "use_def_open_dir"),
        }},
        {N_("Complémentation"), false, {
            check(N_("Remplacement automatique"), "do_autorep"),
            check(N_("Autocompletion des bloc et balises {} () ..."), "use_textcompbloc"),
        }},
        {N_("Confirmations"), false, {
            check(N_("M'avertir avant la fermeture d'un fichier modifié"), "prompt_on_not_saved"),
            check(N_("Ecraser le fichier existant"), "prompt_on_file_exists"),
        }},
        {N_("Maintenance"), false, {}},
    };
    // clang-format on
    return pages;
}

bool preference_holds_string(PreferenceKind kind) {
    return kind == K::text || kind == K::font || kind == K::colour || kind == K::folder;
}

bool preference_holds_integer(PreferenceKind kind) {
    return kind == K::check || kind == K::number;
}

std::size_t preference_first_page(long remembered, std::size_t page_count) {
    if (remembered < 0 || static_cast<unsigned long>(remembered) >= page_count) return 0;
    return static_cast<std::size_t>(remembered);
}

std::string preference_colour_text(unsigned red16, unsigned green16, unsigned blue16) {
    GCharPtr text(g_strdup_printf("#%02x%02x%02x", (red16 >> 8) & 0xff, (green16 >> 8) & 0xff,
                                  (blue16 >> 8) & 0xff));
    return text.get();
}

std::string preference_folder_text(std::string_view path) {
    std::string out(path);
    if (!out.ends_with('/')) out += '/';
    return out;
}
