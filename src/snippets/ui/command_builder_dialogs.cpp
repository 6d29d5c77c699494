#include "snippets/ui/command_builder_dialogs.h"

#include <glib/gi18n-lib.h>
#include <gtk/gtk.h>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_page.h"
#include "shell/gobj.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"
#include "snippets/command_builders.h"

namespace {

enum class Kind { grep, sed, awk, scp, case_statement };
constexpr std::size_t kKinds = 5;

// One open helper window and the widgets its apply button reads, by key.
struct Dialog {
    Kind kind = Kind::grep;
    GtkWidget* window = nullptr;
    std::vector<std::pair<std::string, GtkWidget*>> fields;

    GtkWidget* field(const char* key) const {
        for (const auto& [k, w] : fields)
            if (k == key) return w;
        return nullptr;
    }
    std::string text(const char* key) const {
        GtkWidget* w = field(key);
        return w ? gtk_entry_get_text(GTK_ENTRY(w)) : "";
    }
    bool checked(const char* key) const {
        GtkWidget* w = field(key);
        return w && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w));
    }
};

// The window of each kind, if open; its record goes with the window.
std::array<std::unique_ptr<Dialog>, kKinds>& dialogs() {
    static std::array<std::unique_ptr<Dialog>, kKinds> open;
    return open;
}

std::unique_ptr<Dialog>& slot(Kind kind) {
    return dialogs()[static_cast<std::size_t>(kind)];
}

gpointer kind_data(Kind kind) {
    return GINT_TO_POINTER(static_cast<int>(kind));
}
Kind kind_of(gpointer data) {
    return static_cast<Kind>(GPOINTER_TO_INT(data));
}

void set_accessible_name(GtkWidget* widget, const char* name) {
    if (AtkObject* accessible = gtk_widget_get_accessible(widget))
        atk_object_set_name(accessible, name);
}

GtkWidget* picture(const char* icon_name) {
    return gtk_image_new_from_icon_name(icon_name, GTK_ICON_SIZE_BUTTON);
}

// A labelled entry on `row`: label, entry, and an optional picture after it.
GtkWidget* add_entry(Dialog& d, GtkGrid* grid, int row, const char* key, const char* label,
                     const char* icon = nullptr) {
    GtkWidget* caption = gtk_label_new(label);
    gtk_widget_set_halign(caption, GTK_ALIGN_START);
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
    gtk_widget_set_hexpand(entry, TRUE);
    gtk_label_set_mnemonic_widget(GTK_LABEL(caption), entry);
    set_accessible_name(entry, label);
    gtk_grid_attach(grid, caption, 0, row, 1, 1);
    gtk_grid_attach(grid, entry, 1, row, 1, 1);
    if (icon) gtk_grid_attach(grid, picture(icon), 2, row, 1, 1);
    d.fields.emplace_back(key, entry);
    return entry;
}

// A check box on `row`, with its picture before it when it has one.
GtkWidget* add_check(Dialog& d, GtkGrid* grid, int row, const char* key, const char* label,
                     const char* icon = nullptr, bool active = false) {
    GtkWidget* check = gtk_check_button_new_with_label(label);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(check), active);
    if (icon) gtk_grid_attach(grid, picture(icon), 0, row, 1, 1);
    gtk_grid_attach(grid, check, icon ? 1 : 0, row, icon ? 1 : 2, 1);
    d.fields.emplace_back(key, check);
    return check;
}

GtkGrid* new_grid() {
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 4);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 6);
    return GTK_GRID(grid);
}

void close_dialog(Kind kind) {
    indicator_ok();
    if (const auto& d = slot(kind)) gtk_widget_destroy(d->window);
}

BuiltCommand build(const Dialog& d) {
    switch (d.kind) {
    case Kind::grep:
        return build_grep({d.checked("ignore_case"), d.checked("whole_word"), d.checked("invert"),
                           d.checked("redirect"), d.text("file"), d.text("word"),
                           d.text("redirection_file")});
    case Kind::awk:
        return build_awk({d.text("separator"), d.text("column"), d.text("file"),
                          d.checked("redirect"), d.text("redirection_file")});
    case Kind::sed:
        return build_sed({d.checked("substitute"), d.text("replacement"), d.text("occurrence"),
                          d.checked("delete_lines"), d.text("first_line"), d.text("last_line"),
                          d.checked("delete_word_lines"), d.checked("invert_deletion"),
                          d.checked("print"), d.checked("line_numbers"), d.checked("redirect"),
                          d.text("file"), d.text("word"), d.text("redirection_file")});
    case Kind::scp:
        return build_scp({d.text("user"), d.text("host"), d.text("source"), d.text("destination")});
    case Kind::case_statement: {
        GtkWidget* spin = d.field("options");
        gtk_spin_button_update(GTK_SPIN_BUTTON(spin));
        return build_case(gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(spin)));
    }
    }
    return {};
}

// The text goes in at the cursor, on a line of its own start.
void insert_command(const BuiltCommand& built) {
    DocumentPage* page = current_document();
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return;
    GtkTextIter cursor = doc_cursor_iter(buffer);
    doc_insert_at_cursor(page, command_insertion(built.text, gtk_text_iter_starts_line(&cursor)));
}

void on_apply(GtkButton*, gpointer data) {
    const Kind kind = kind_of(data);
    const auto& d = slot(kind);
    if (!d) return;
    const BuiltCommand built = build(*d);
    if (!built.ok()) {
        show_message(GTK_WINDOW(d->window), built.error);
        return;
    }
    insert_command(built);
    close_dialog(kind);
}

void on_cancel(GtkButton*, gpointer data) {
    close_dialog(kind_of(data));
}

gboolean on_key_press(GtkWidget*, GdkEventKey* event, gpointer data) {
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    close_dialog(kind_of(data));
    return TRUE;
}

gboolean on_delete(GtkWidget*, GdkEvent*, gpointer) {
    indicator_ok();
    return FALSE;
}

void on_destroy(GtkWidget* window, gpointer data) {
    auto& d = slot(kind_of(data));
    if (d && d->window == window) d.reset();
}

GtkWidget* stock_button(const char* stock_id) {
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GtkWidget* button = gtk_button_new_from_stock(stock_id);
    G_GNUC_END_IGNORE_DEPRECATIONS
    return button;
}

// The window of `kind`, with `content` above the buttons; shown and recorded.
void show_dialog(std::unique_ptr<Dialog> d, const char* title, int border, GtkWidget* content,
                 bool with_cancel) {
    const Kind kind = d->kind;
    GtkWidget* window = d->window;
    gtk_window_set_title(GTK_WINDOW(window), title);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    gtk_container_set_border_width(GTK_CONTAINER(window), border);
    if (GtkWindow* parent = main_window()) {
        gtk_window_set_transient_for(GTK_WINDOW(window), parent);
        gtk_window_set_destroy_with_parent(GTK_WINDOW(window), TRUE);
    }

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    gtk_box_pack_start(GTK_BOX(box), content, TRUE, TRUE, 0);
    GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
    gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
    gtk_box_set_spacing(GTK_BOX(buttons), 6);
    if (with_cancel) {
        GtkWidget* cancel = stock_button("gtk-cancel");
        g_signal_connect(cancel, "clicked", G_CALLBACK(on_cancel), kind_data(kind));
        gtk_container_add(GTK_CONTAINER(buttons), cancel);
    }
    GtkWidget* apply = stock_button("gtk-apply");
    gtk_widget_set_can_default(apply, TRUE);
    g_signal_connect(apply, "clicked", G_CALLBACK(on_apply), kind_data(kind));
    gtk_container_add(GTK_CONTAINER(buttons), apply);
    gtk_box_pack_start(GTK_BOX(box), buttons, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(window), box);
    gtk_window_set_default(GTK_WINDOW(window), apply);

    g_signal_connect(window, "key-press-event", G_CALLBACK(on_key_press), kind_data(kind));
    g_signal_connect(window, "delete-event", G_CALLBACK(on_delete), nullptr);
    g_signal_connect(window, "destroy", G_CALLBACK(on_destroy), kind_data(kind));
    slot(kind) = std::move(d);
    gtk_widget_show_all(window);
}

// The record of a new window of `kind`, or null when one is open (it is then
// brought forward) or there is no document to write into.
std::unique_ptr<Dialog> begin_dialog(Kind kind) {
    if (const auto& open = slot(kind)) {
        gtk_window_present(GTK_WINDOW(open->window));
        return nullptr;
    }
    if (!current_document()) return nullptr;
    auto d = std::make_unique<Dialog>();
    d->kind = kind;
    d->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    return d;
}

GtkWidget* tab_head(const char* icon, const char* label) {
    GtkWidget* head = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
    gtk_box_pack_start(GTK_BOX(head), picture(icon), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(head), gtk_label_new(label), FALSE, FALSE, 0);
    gtk_widget_show_all(head);
    return head;
}

GtkWidget* framed(const char* label, int border, GtkGrid* grid) {
    GtkWidget* frame = gtk_frame_new(label);
    gtk_container_set_border_width(GTK_CONTAINER(grid), border);
    gtk_container_add(GTK_CONTAINER(frame), GTK_WIDGET(grid));
    return frame;
}

} // namespace

void open_grep_builder() {
    auto d = begin_dialog(Kind::grep);
    if (!d) return;
    indicator_stop();
    GtkGrid* grid = new_grid();
    add_check(*d, grid, 0, "ignore_case", _("Indifférence Maj/Min"), "format-text-bold");
    add_check(*d, grid, 1, "whole_word", _("Mot complet"), "preferences-desktop-font");
    add_check(*d, grid, 2, "invert", _("Inverser la sortie"), "view-refresh");
    add_check(*d, grid, 3, "redirect", _("Redirection"), "document-new");
    add_entry(*d, grid, 4, "file", _("Fichier"));
    add_entry(*d, grid, 5, "word", _("Mot recherché"));
    add_entry(*d, grid, 6, "redirection_file", _("Fichier de redirection"));
    show_dialog(std::move(d), _("Aide pour Grep"), 12, GTK_WIDGET(grid), true);
}

void open_awk_builder() {
    auto d = begin_dialog(Kind::awk);
    if (!d) return;
    indicator_stop();
    GtkGrid* grid = new_grid();
    add_entry(*d, grid, 0, "separator", _("Separateur"));
    add_entry(*d, grid, 1, "column", _("Colonne"));
    add_entry(*d, grid, 2, "file", _("Fichier"), "edit-copy");
    add_check(*d, grid, 3, "redirect", _("Redirection"), "zoom-original", true);
    add_entry(*d, grid, 4, "redirection_file", _("Fichier de redirection"), "edit-copy");
    show_dialog(std::move(d), _("Aide Awk"), 6, GTK_WIDGET(grid), true);
}

void open_sed_builder() {
    auto d = begin_dialog(Kind::sed);
    if (!d) return;
    indicator_stop();
    GtkWidget* notebook = gtk_notebook_new();

    GtkGrid* substitution = new_grid();
    add_check(*d, substitution, 0, "substitute", _("Substitution"));
    add_entry(*d, substitution, 1, "replacement", _("Remplacer par "));
    add_entry(*d, substitution, 2, "occurrence", _("N° Occurence (g = toutes)"));
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), GTK_WIDGET(substitution),
                             tab_head("edit-find-replace", _("Substitution")));

    GtkGrid* deletion = new_grid();
    add_check(*d, deletion, 0, "delete_lines", _("Supprimer les lignes"));
    add_entry(*d, deletion, 1, "first_line", _("de "));
    add_entry(*d, deletion, 2, "last_line", _(" à "));
    add_check(*d, deletion, 3, "delete_word_lines",
              _("Supprimer les lignes avec le mot recherché"));
    add_check(*d, deletion, 4, "invert_deletion", _("Inversser la suppression"));
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), GTK_WIDGET(deletion),
                             tab_head("edit-clear", _("Suppression")));

    GtkGrid* functions = new_grid();
    add_check(*d, functions, 0, "print", _("Afiche le resultat sur la sortie standare"));
    add_check(*d, functions, 1, "line_numbers", _("Donne le numero des lignes"));
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), GTK_WIDGET(functions),
                             tab_head("list-add", _("Fonctions")));
    for (GtkGrid* page : {substitution, deletion, functions})
        gtk_container_set_border_width(GTK_CONTAINER(page), 6);

    GtkGrid* grid = new_grid();
    gtk_grid_attach(grid, notebook, 0, 0, 2, 1);
    add_entry(*d, grid, 1, "file", _("Fichier"));
    add_entry(*d, grid, 2, "word", _("Mot recherché"));
    // The redirection file sits beside its check box, which is its label.
    const char* redirection = _("Fichier de redirection");
    GtkWidget* check = gtk_check_button_new_with_label(redirection);
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
    set_accessible_name(entry, redirection);
    gtk_grid_attach(grid, check, 0, 3, 1, 1);
    gtk_grid_attach(grid, entry, 1, 3, 1, 1);
    d->fields.emplace_back("redirect", check);
    d->fields.emplace_back("redirection_file", entry);
    show_dialog(std::move(d), _("Aide Sed"), 6, GTK_WIDGET(grid), true);
}

void open_scp_builder() {
    auto d = begin_dialog(Kind::scp);
    if (!d) return;
    indicator_net();
    GtkGrid* grid = new_grid();
    add_entry(*d, grid, 0, "user", _("Utilisateur : "));
    add_entry(*d, grid, 1, "host", _("IP Host :"));
    add_entry(*d, grid, 2, "source", _("Fichier source sur le host distant : "));
    add_entry(*d, grid, 3, "destination", _("Fichier destination : "));
    show_dialog(std::move(d), _("Style de variable"), 6, framed(_("Commande SCP"), 3, grid), true);
}

void open_case_builder() {
    auto d = begin_dialog(Kind::case_statement);
    if (!d) return;
    indicator_stop();
    GtkGrid* grid = new_grid();
    const char* label = _("Nombre d'options du script : ");
    GtkWidget* caption = gtk_label_new(label);
    GtkWidget* spin = gtk_spin_button_new_with_range(0, 100, 1);
    gtk_spin_button_set_increments(GTK_SPIN_BUTTON(spin), 1, 10);
    gtk_spin_button_set_digits(GTK_SPIN_BUTTON(spin), 0);
    gtk_spin_button_set_numeric(GTK_SPIN_BUTTON(spin), TRUE);
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), 1);
    gtk_entry_set_activates_default(GTK_ENTRY(spin), TRUE);
    gtk_label_set_mnemonic_widget(GTK_LABEL(caption), spin);
    set_accessible_name(spin, label);
    gtk_grid_attach(grid, picture("document-properties"), 0, 0, 1, 1);
    gtk_grid_attach(grid, caption, 1, 0, 1, 1);
    gtk_grid_attach(grid, spin, 2, 0, 1, 1);
    d->fields.emplace_back("options", spin);
    show_dialog(std::move(d), _("Nombre d'options"), 6, framed(_("Case"), 6, grid), false);
}

void path_prompt_command() {
    indicator_stop();
    log_icon_help();
    log_message(path_prompt_log_text(), LM_NORMAL);
    if (!current_document()) return;
    const std::string title = path_chooser_title();
    GtkWidget* chooser = gtk_file_chooser_dialog_new(
        title.c_str(), main_window(), GTK_FILE_CHOOSER_ACTION_OPEN, "gtk-cancel",
        GTK_RESPONSE_CANCEL, "gtk-open", GTK_RESPONSE_ACCEPT, nullptr);
    std::string path;
    if (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
        GCharPtr file(gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser)));
        // The buffer holds UTF-8; a name that cannot be shown as such is not inserted.
        GCharPtr utf8(file ? g_filename_to_utf8(file.get(), -1, nullptr, nullptr, nullptr)
                           : nullptr);
        if (utf8) path = utf8.get();
    }
    gtk_widget_destroy(chooser);
    indicator_ok();
    // The chooser was modal; the document it returns to is the current one.
    if (!path.empty()) doc_insert_at_cursor(current_document(), path);
}
