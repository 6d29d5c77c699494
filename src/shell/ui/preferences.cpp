#include "shell/ui/preferences.h"

#include <gdk/gdkkeysyms.h>
#include <glib/gi18n-lib.h>
#include <string>
#include <vector>

#include "shell/gobj.h"
#include "shell/preference_rows.h"
#include "shell/settings.h"
#include "shell/ui/config_actions.h"
#include "shell/ui/window_parts.h"

namespace {

struct Field {
    const PreferenceRow* row = nullptr;
    GtkWidget* widget = nullptr;  // the entry, check button or spin button
    GtkWidget* chooser = nullptr; // the font or colour button beside an entry
};

struct Prefs {
    GtkWidget* window = nullptr; // cleared by GTK when the window goes
    std::vector<Field> fields;
};

Prefs& prefs() {
    static Prefs p;
    return p;
}

std::string row_label(const PreferenceRow& row) {
    return row.translated ? _(row.label) : row.label;
}

void set_accessible_name(GtkWidget* widget, const std::string& name) {
    atk_object_set_name(gtk_widget_get_accessible(widget), name.c_str());
}

void show_colour(GtkWidget* button, const std::string& text) {
    GdkRGBA rgba;
    if (gdk_rgba_parse(&rgba, text.c_str()))
        gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(button), &rgba);
}

// Shows the current settings in every field.
void fill_fields() {
    Settings current = settings();
    for (const Field& f : prefs().fields) {
        const PreferenceKind kind = f.row->kind;
        if (preference_holds_string(kind)) {
            const std::string* value = settings_string(current, f.row->key);
            const std::string text = value ? *value : std::string();
            gtk_entry_set_text(GTK_ENTRY(f.widget), text.c_str());
            if (kind == PreferenceKind::font && !text.empty())
                gtk_font_chooser_set_font(GTK_FONT_CHOOSER(f.chooser), text.c_str());
            if (kind == PreferenceKind::colour) show_colour(f.chooser, text);
        } else if (const long* value = settings_integer(current, f.row->key)) {
            if (kind == PreferenceKind::check)
                gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(f.widget), *value != 0);
            else
                gtk_spin_button_set_value(GTK_SPIN_BUTTON(f.widget), static_cast<double>(*value));
        }
    }
}

// The settings as they stand now, with every field's value put in; the keys
// without a field keep their current values.
Settings collect_fields() {
    Settings values = settings();
    for (const Field& f : prefs().fields) {
        const PreferenceKind kind = f.row->kind;
        if (preference_holds_string(kind)) {
            if (std::string* value = settings_string(values, f.row->key))
                *value = gtk_entry_get_text(GTK_ENTRY(f.widget));
        } else if (long* value = settings_integer(values, f.row->key)) {
            if (kind == PreferenceKind::check) {
                *value = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(f.widget)) ? 1 : 0;
            } else {
                // A number typed but not yet confirmed counts as well.
                gtk_spin_button_update(GTK_SPIN_BUTTON(f.widget));
                *value = gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(f.widget));
            }
        }
    }
    return values;
}

void on_save(GtkButton*, gpointer) {
    settings_write(collect_fields());
}

void on_close(GtkButton*, gpointer) {
    if (GtkWidget* window = prefs().window) gtk_widget_destroy(window);
}

gboolean on_key_press(GtkWidget* window, GdkEventKey* event, gpointer) {
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    gtk_widget_destroy(window);
    return TRUE;
}

void on_destroy(GtkWidget*, gpointer) {
    prefs().fields.clear();
}

void on_switch_page(GtkNotebook*, GtkWidget*, guint page, gpointer) {
    set_last_prefs_tab(static_cast<long>(page));
}

void on_backup(GtkButton*, gpointer) {
    config_backup();
}

void on_restore(GtkButton*, gpointer) {
    // The fields show what was restored, so a later save keeps it.
    if (config_restore(GTK_WINDOW(prefs().window))) fill_fields();
}

void on_reset(GtkButton*, gpointer) {
    if (config_reset(GTK_WINDOW(prefs().window))) fill_fields();
}

void on_font_set(GtkFontButton* button, gpointer entry) {
    GCharPtr font(gtk_font_chooser_get_font(GTK_FONT_CHOOSER(button)));
    if (font) gtk_entry_set_text(GTK_ENTRY(entry), font.get());
}

void on_colour_set(GtkColorButton* button, gpointer entry) {
    GdkRGBA rgba;
    gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(button), &rgba);
    auto channel = [](double v) { return static_cast<unsigned>(v * 65535.0 + 0.5); };
    const std::string text =
        preference_colour_text(channel(rgba.red), channel(rgba.green), channel(rgba.blue));
    gtk_entry_set_text(GTK_ENTRY(entry), text.c_str());
}

void on_choose_folder(GtkButton*, gpointer entry) {
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        _("Choisir un dossier"), GTK_WINDOW(prefs().window), GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER,
        _("_Annuler"), GTK_RESPONSE_CANCEL, _("_Choisir"), GTK_RESPONSE_ACCEPT, nullptr);
    const char* current = gtk_entry_get_text(GTK_ENTRY(entry));
    if (g_file_test(current, G_FILE_TEST_IS_DIR))
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(dialog), current);
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        GCharPtr folder(gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog)));
        if (folder) {
            const std::string text = preference_folder_text(folder.get());
            gtk_entry_set_text(GTK_ENTRY(entry), text.c_str());
        }
    }
    gtk_widget_destroy(dialog);
}

GtkWidget* single_line_entry(const std::string& name) {
    GtkWidget* entry = gtk_entry_new();
    // A pasted text keeps its first line only: a line feed in a value would
    // become a key of its own in orvane_rc.
    g_object_set(entry, "truncate-multiline", TRUE, nullptr);
    set_accessible_name(entry, name);
    return entry;
}

// One row: a horizontal box packed without expanding, as every kind has.
GtkWidget* build_row(const PreferenceRow& row) {
    const std::string name = row_label(row);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 1);
    if (row.kind == PreferenceKind::heading) {
        gtk_box_pack_start(GTK_BOX(box), gtk_frame_new(name.c_str()), TRUE, TRUE, 0);
        return box;
    }
    if (row.kind == PreferenceKind::check) {
        GtkWidget* check = gtk_check_button_new_with_label(name.c_str());
        gtk_box_pack_start(GTK_BOX(box), check, FALSE, FALSE, 0);
        prefs().fields.push_back({&row, check});
        return box;
    }
    GtkWidget* label = gtk_label_new(name.c_str());
    gtk_box_pack_start(GTK_BOX(box), label, FALSE, FALSE, 0);
    if (row.kind == PreferenceKind::label) return box;

    if (row.kind == PreferenceKind::number) {
        GtkWidget* spin = gtk_spin_button_new_with_range(1, 1080, 1);
        gtk_spin_button_set_increments(GTK_SPIN_BUTTON(spin), 1, 5);
        gtk_spin_button_set_digits(GTK_SPIN_BUTTON(spin), 0);
        gtk_label_set_mnemonic_widget(GTK_LABEL(label), spin);
        set_accessible_name(spin, name);
        gtk_box_pack_start(GTK_BOX(box), spin, FALSE, FALSE, 0);
        prefs().fields.push_back({&row, spin});
        return box;
    }

    GtkWidget* entry = single_line_entry(name);
    gtk_label_set_mnemonic_widget(GTK_LABEL(label), entry);
    gtk_box_pack_start(GTK_BOX(box), entry, TRUE, TRUE, 0);
    GtkWidget* chooser = nullptr;
    if (row.kind == PreferenceKind::font) {
        chooser = gtk_font_button_new();
        g_signal_connect(chooser, "font-set", G_CALLBACK(on_font_set), entry);
    } else if (row.kind == PreferenceKind::colour) {
        chooser = gtk_color_button_new();
        g_signal_connect(chooser, "color-set", G_CALLBACK(on_colour_set), entry);
    } else if (row.kind == PreferenceKind::folder) {
        GtkWidget* button = gtk_button_new_with_label(_("Choose"));
        g_signal_connect(button, "clicked", G_CALLBACK(on_choose_folder), entry);
        gtk_box_pack_start(GTK_BOX(box), button, FALSE, FALSE, 0);
    }
    if (chooser) {
        set_accessible_name(chooser, name);
        gtk_widget_set_tooltip_text(chooser, name.c_str());
        gtk_box_pack_start(GTK_BOX(box), chooser, FALSE, FALSE, 0);
    }
    prefs().fields.push_back({&row, entry, chooser});
    return box;
}

GtkWidget* page_box() {
    return gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
}

GtkWidget* build_page(const PreferencePage& page) {
    GtkWidget* content = page_box();
    GtkWidget* target = content;
    GtkWidget* inner = nullptr;
    for (const PreferenceRow& row : page.rows) {
        if (row.kind == PreferenceKind::inner_page) {
            if (!inner) {
                inner = gtk_notebook_new();
                gtk_box_pack_start(GTK_BOX(content), inner, TRUE, TRUE, 0);
            }
            target = page_box();
            gtk_notebook_append_page(GTK_NOTEBOOK(inner), target,
                                     gtk_label_new(row_label(row).c_str()));
            continue;
        }
        gtk_box_pack_start(GTK_BOX(target), build_row(row), FALSE, FALSE, 0);
    }
    if (!page.scrolled) return content;
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_container_add(GTK_CONTAINER(scrolled), content);
    return scrolled;
}

GtkWidget* build_maintenance_page() {
    GtkWidget* content = page_box();
    struct Action {
        const char* label;
        void (*handler)(GtkButton*, gpointer);
    };
    for (const Action& a : {Action{N_("Sauvegarde de la configuration actuelle"), on_backup},
                            Action{N_("Restaurer une configuration"), on_restore},
                            Action{N_("Réinitialiser config par défaut"), on_reset}}) {
        GtkWidget* button = gtk_button_new_with_label(_(a.label));
        g_signal_connect(button, "clicked", G_CALLBACK(a.handler), nullptr);
        gtk_box_pack_start(GTK_BOX(content), button, FALSE, FALSE, 0);
    }
    return content;
}

GtkWidget* build_window() {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_set_name(window, "preferences_window");
    gtk_window_set_title(GTK_WINDOW(window), _("Options"));
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);

    GtkWidget* vbox = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(window), vbox);
    GtkWidget* notebook = gtk_notebook_new();
    gtk_widget_set_name(notebook, "preferences_notebook");
    gtk_notebook_set_tab_pos(GTK_NOTEBOOK(notebook), GTK_POS_LEFT);
    gtk_box_pack_start(GTK_BOX(vbox), notebook, TRUE, TRUE, 0);

    const auto& pages = preference_pages();
    for (const PreferencePage& page : pages) {
        const bool maintenance = &page == &pages.back();
        GtkWidget* content = maintenance ? build_maintenance_page() : build_page(page);
        gtk_notebook_append_page(GTK_NOTEBOOK(notebook), content, gtk_label_new(_(page.title)));
    }

    GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_box_pack_start(GTK_BOX(vbox), buttons, FALSE, FALSE, 0);
    GtkWidget* close = gtk_button_new_with_label(_("Fermer"));
    g_signal_connect(close, "clicked", G_CALLBACK(on_close), nullptr);
    gtk_box_pack_start(GTK_BOX(buttons), close, FALSE, FALSE, 0);
    GtkWidget* save = gtk_button_new_with_label(_("Sauvegarder et aplliquer"));
    g_signal_connect(save, "clicked", G_CALLBACK(on_save), nullptr);
    gtk_box_pack_start(GTK_BOX(buttons), save, FALSE, FALSE, 0);

    g_signal_connect(window, "key-press-event", G_CALLBACK(on_key_press), nullptr);
    g_signal_connect(window, "destroy", G_CALLBACK(on_destroy), nullptr);
    gtk_widget_show_all(window);
    // A notebook shows only pages that are visible; the switch is recorded from
    // here on, not while the pages were added.
    gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), static_cast<gint>(preference_first_page(
                                                              last_prefs_tab(), pages.size())));
    g_signal_connect(notebook, "switch-page", G_CALLBACK(on_switch_page), nullptr);
    return window;
}

} // namespace

void preferences_open() {
    Prefs& p = prefs();
    if (p.window) {
        gtk_window_present(GTK_WINDOW(p.window));
        return;
    }
    p.fields.clear();
    p.window = build_window();
    g_object_add_weak_pointer(G_OBJECT(p.window), reinterpret_cast<gpointer*>(&p.window));
    // The window goes with the program's main window.
    if (GtkWindow* main = main_window())
        g_signal_connect_object(main, "destroy", G_CALLBACK(gtk_widget_destroy), p.window,
                                G_CONNECT_SWAPPED);
    fill_fields();
}

GtkWidget* preferences_window() {
    return prefs().window;
}
