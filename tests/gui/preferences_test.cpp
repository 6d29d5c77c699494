// The preferences window in the real main window: the page it opens on, what
// "Sauvegarder et aplliquer" writes, what closing writes (nothing), a write
// that fails, and the configuration copy restored.
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <string>
#include <sys/resource.h>

#include "gui/support/dialog_answer.h"
#include "gui/support/gui_fixture.h"
#include "gui/support/key_events.h"
#include "shell/config_dir.h"
#include "shell/settings.h"
#include "shell/ui/config_actions.h"
#include "shell/ui/preferences.h"
#include "shell/ui/window_parts.h"

namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string accessible_name(GtkWidget* w) {
    const char* name = atk_object_get_name(gtk_widget_get_accessible(w));
    return name ? name : "";
}

GtkWidget* prefs_named(const std::string& name) {
    return find_widget(preferences_window(),
                       [&](GtkWidget* w) { return gtk_widget_get_name(w) == name; });
}

// The entry (or spin button) of the field labelled `label`.
GtkWidget* field(const std::string& label) {
    return find_widget(preferences_window(), [&](GtkWidget* w) {
        return GTK_IS_ENTRY(w) && accessible_name(w) == label;
    });
}

void click(const std::string& label) {
    GtkWidget* button = find_widget(preferences_window(), [&](GtkWidget* w) {
        return GTK_IS_BUTTON(w) &&
               g_strcmp0(gtk_button_get_label(GTK_BUTTON(w)), label.c_str()) == 0;
    });
    ASSERT_NE(button, nullptr) << label;
    gtk_button_clicked(GTK_BUTTON(button));
}

GtkNotebook* notebook() {
    return GTK_NOTEBOOK(prefs_named("preferences_notebook"));
}

std::string current_page_title() {
    GtkNotebook* nb = notebook();
    return gtk_notebook_get_tab_label_text(
        nb, gtk_notebook_get_nth_page(nb, gtk_notebook_get_current_page(nb)));
}

void show_page(const std::string& title) {
    GtkNotebook* nb = notebook();
    for (int i = 0; i < gtk_notebook_get_n_pages(nb); ++i)
        if (gtk_notebook_get_tab_label_text(nb, gtk_notebook_get_nth_page(nb, i)) == title)
            gtk_notebook_set_current_page(nb, i);
    flush_events();
}

// Types `text` into the field as the user does: focus, select all, keys.
void type_into(const std::string& label, const std::string& text) {
    GtkWidget* entry = field(label);
    ASSERT_NE(entry, nullptr) << label;
    gtk_widget_grab_focus(entry);
    gtk_editable_select_region(GTK_EDITABLE(entry), 0, -1);
    type_text(entry, text);
}

void set_field(const std::string& label, const std::string& text) {
    GtkWidget* entry = field(label);
    ASSERT_NE(entry, nullptr) << label;
    gtk_entry_set_text(GTK_ENTRY(entry), text.c_str());
}

int preference_windows() {
    int count = 0;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l; l = l->next)
        if (g_strcmp0(gtk_widget_get_name(GTK_WIDGET(l->data)), "preferences_window") == 0 &&
            gtk_widget_get_visible(GTK_WIDGET(l->data)))
            ++count;
    g_list_free(all);
    return count;
}

long count_lines_starting(const std::string& text, const std::string& start) {
    long n = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        if (text.compare(pos, start.size(), start) == 0) ++n;
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) break;
        pos = nl + 1;
    }
    return n;
}

class RememberedPageTest : public GuiTest {
    void prepare_home() override { write_config_file("orvane_ui", "last_prefs_tab=13\n"); }
};

TEST_F(RememberedPageTest, OpensOnTheRememberedPageOnceAndRecordsSwitches) {
    GtkWidget* button = find_widget(window(), [](GtkWidget* w) {
        return GTK_IS_TOOL_BUTTON(w) && g_strcmp0(gtk_widget_get_name(w), "gtk-preferences") == 0;
    });
    ASSERT_NE(button, nullptr);
    gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(button))));
    ASSERT_NE(preferences_window(), nullptr);
    EXPECT_EQ(gtk_window_get_title(GTK_WINDOW(preferences_window())), std::string("Options"));
    EXPECT_EQ(current_page_title(), "Maintenance");
    EXPECT_EQ(gtk_notebook_get_n_pages(notebook()), 14);

    // A second request shows the same window.
    ASSERT_TRUE(activate_menu_item_path({"Fichier", "Preferences"}));
    EXPECT_EQ(preference_windows(), 1);
    show_page("Fonctions");
    EXPECT_EQ(last_prefs_tab(), 2);

    click("Fermer");
    EXPECT_EQ(preferences_window(), nullptr);
    set_last_prefs_tab(99);
    preferences_open();
    EXPECT_EQ(current_page_title(), "Principale");
}

TEST_F(GuiTest, ATypedNumberIsSavedWithoutLeavingItsField) {
    preferences_open();
    show_page("Editeur");
    type_into("Taille des tabulations en espaces", "7");
    click("Sauvegarder et aplliquer");
    EXPECT_EQ(read_file(config_path("orvane_rc")).rfind("tab_size=7\n", 0), 0u);
    EXPECT_EQ(settings().tab_size, 7);
    EXPECT_NE(preferences_window(), nullptr);
}

TEST_F(GuiTest, APastedSecondLineNeverBecomesAKey) {
    preferences_open();
    show_page("Fonctions");
    GtkWidget* date = field("Format de la date et de l'heure");
    ASSERT_NE(date, nullptr);
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "%H\ntab_size=0", -1);
    gtk_widget_grab_focus(date);
    gtk_editable_select_region(GTK_EDITABLE(date), 0, -1);
    g_signal_emit_by_name(date, "paste-clipboard");
    EXPECT_TRUE(
        spin_until([&] { return std::string(gtk_entry_get_text(GTK_ENTRY(date))) == "%H"; }));
    click("Sauvegarder et aplliquer");

    const std::string rc = read_file(config_path("orvane_rc"));
    EXPECT_EQ(count_lines_starting(rc, "tab_size="), 1);
    EXPECT_TRUE(contains(rc, "\ndate_time=%H\n"));
    EXPECT_EQ(settings().tab_size, 3);
    EXPECT_EQ(settings().date_time, "%H");
}

TEST_F(GuiTest, OtherBrowserAndPlayerSurviveASaveAndAReload) {
    preferences_open();
    set_field("Other", "w3m %s&");
    set_field("Lancez MPlayer avec les sous-titres", "mpv \"@movie_file\"");
    click("Sauvegarder et aplliquer");
    config_reload_and_apply();
    EXPECT_EQ(settings().other_browser, "w3m %s&");
    EXPECT_EQ(settings().cm_mplayer, "mpv \"@movie_file\"");

    click("Fermer");
    preferences_open();
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(field("Other"))), "w3m %s&");
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(field("Lancez MPlayer avec les sous-titres"))),
                 "mpv \"@movie_file\"");
}

TEST_F(GuiTest, ClosingWritesNothing) {
    const std::string before = read_file(config_path("orvane_rc"));
    preferences_open();
    show_page("Editeur");
    type_into("Taille des tabulations en espaces", "9");
    set_field("Format de la date et de l'heure", "%T");
    click("Fermer");
    EXPECT_EQ(read_file(config_path("orvane_rc")), before);

    preferences_open();
    show_page("Editeur");
    type_into("Taille des tabulations en espaces", "9");
    gtk_window_close(GTK_WINDOW(preferences_window()));
    EXPECT_TRUE(spin_until([] { return preferences_window() == nullptr; }));
    EXPECT_EQ(read_file(config_path("orvane_rc")), before);
    EXPECT_EQ(settings().tab_size, 3);
}

// The folder is made read-only; the superuser writes there all the same, so a
// limit on the size of written files makes the write fail for it too.
TEST_F(GuiTest, AFailedWriteLeavesTheFileAndReloadsNothing) {
    write_config_file("orvane_rc", "tab_size=5\n");
    config_reload_and_apply();
    const std::string dir = config_paths().dir;
    preferences_open();
    show_page("Editeur");
    type_into("Taille des tabulations en espaces", "9");

    g_chmod(dir.c_str(), 0500);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &limited);
    click("Sauvegarder et aplliquer");
    setrlimit(RLIMIT_FSIZE, &saved);
    g_chmod(dir.c_str(), 0700);

    EXPECT_EQ(read_file(config_path("orvane_rc")), "tab_size=5\n");
    EXPECT_EQ(settings().tab_size, 5);
    EXPECT_TRUE(contains(log_text(), "Ne peut pas écrire " + config_paths().rc));
}

TEST_F(GuiTest, RestoredValuesAreTheOnesALaterSaveKeeps) {
    write_config_file("orvane_rc", "tab_size=5\n");
    config_reload_and_apply();
    preferences_open();
    show_page("Maintenance");

    // Without a copy there is nothing to restore, and the user is told so.
    answer_next_dialog(GTK_RESPONSE_OK);
    click("Restaurer une configuration");
    EXPECT_TRUE(contains(last_dialog_text(), "pas de sauvegarde"));
    EXPECT_EQ(read_file(config_path("orvane_rc")), "tab_size=5\n");

    click("Sauvegarde de la configuration actuelle");
    show_page("Editeur");
    type_into("Taille des tabulations en espaces", "8");
    click("Sauvegarder et aplliquer");
    ASSERT_EQ(settings().tab_size, 8);

    answer_next_dialog(GTK_RESPONSE_OK);
    click("Restaurer une configuration");
    EXPECT_TRUE(contains(last_dialog_text(), "Configuration restaurée"));
    EXPECT_EQ(settings().tab_size, 5);
    click("Sauvegarder et aplliquer");
    EXPECT_EQ(read_file(config_path("orvane_rc")).rfind("tab_size=5\n", 0), 0u);
    EXPECT_EQ(settings().tab_size, 5);

    answer_next_dialog(GTK_RESPONSE_OK);
    click("Réinitialiser config par défaut");
    EXPECT_EQ(gtk_spin_button_get_value_as_int(
                  GTK_SPIN_BUTTON(field("Taille des tabulations en espaces"))),
              3);
}

} // namespace
