// The help trees in the real main window, driven with real pointer and key
// events: the language chooser of the "Aide" page, one help window at a time,
// what a click on a row inserts (and when it inserts nothing), the Ctrl+F
// search, and the terminal commands' window.
#include <gtest/gtest.h>
#include <gtksourceview/gtksource.h>

#include <gdk/gdkkeysyms.h>
#include <memory>
#include <string>
#include <vector>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "gui/support/gui_fixture.h"
#include "gui/support/key_events.h"
#include "shell/ui/window_parts.h"
#include "snippets/ui/help_windows.h"
#include "snippets/ui/snippet_run.h"

namespace {

constexpr const char* kNeedsDocument = "Vous devez ouvrir un fichier pour pouvoir utiliser l'aide.";

int visible_windows_titled(const std::string& title) {
    int n = 0;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l; l = l->next) {
        const char* t = gtk_window_get_title(GTK_WINDOW(l->data));
        if (t && title == t && gtk_widget_get_visible(GTK_WIDGET(l->data))) ++n;
    }
    g_list_free(all);
    return n;
}

int occurrences(const std::string& text, const std::string& piece) {
    int n = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++n;
    return n;
}

GtkTreeView* tree_in(GtkWidget* root) {
    return GTK_TREE_VIEW(find_widget(root, [](GtkWidget* w) { return GTK_IS_TREE_VIEW(w); }));
}

GtkTreeView* chooser() {
    GtkWidget* box = panel_page(PanelPage::help_tree);
    GtkWidget* notebook = side_notebook();
    gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook),
                                  gtk_notebook_page_num(GTK_NOTEBOOK(notebook), box));
    GtkNotebook* main = GTK_NOTEBOOK(main_notebook());
    gtk_notebook_set_current_page(main,
                                  gtk_notebook_page_num(main, gtk_widget_get_parent(notebook)));
    return tree_in(box);
}

// The path of the row showing `text`, searched depth first.
GtkTreePath* path_of(GtkTreeView* view, const std::string& text) {
    struct Search {
        const std::string* text;
        GtkTreePath* found = nullptr;
    } search{&text};
    gtk_tree_model_foreach(
        gtk_tree_view_get_model(view),
        [](GtkTreeModel* model, GtkTreePath* path, GtkTreeIter* iter, gpointer data) -> gboolean {
            auto* s = static_cast<Search*>(data);
            gchar* shown = nullptr;
            gtk_tree_model_get(model, iter, 0, &shown, -1);
            const bool hit = shown && *s->text == shown;
            g_free(shown);
            if (hit) s->found = gtk_tree_path_copy(path);
            return hit;
        },
        &search);
    return search.found;
}

// The entry of the tree's search popup while it shows, else null.
GtkWidget* search_entry_of(GtkWidget* window) {
    GtkWidget* entry = nullptr;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l && !entry; l = l->next) {
        GtkWindow* popup = GTK_WINDOW(l->data);
        if (gtk_window_get_transient_for(popup) == GTK_WINDOW(window) &&
            gtk_widget_get_visible(GTK_WIDGET(popup)))
            entry = find_widget(GTK_WIDGET(popup), [](GtkWidget* w) { return GTK_IS_ENTRY(w); });
    }
    g_list_free(all);
    return entry;
}

std::string selected_text(GtkTreeView* view) {
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(view), &model, &iter))
        return {};
    gchar* shown = nullptr;
    gtk_tree_model_get(model, &iter, 0, &shown, -1);
    std::string text = shown ? shown : "";
    g_free(shown);
    return text;
}

void send_button(GtkTreeView* view, GdkEventType type, guint button, double x, double y,
                 guint32 time) {
    GdkWindow* bin = gtk_tree_view_get_bin_window(view);
    std::unique_ptr<GdkEvent, decltype(&gdk_event_free)> event(gdk_event_new(type), gdk_event_free);
    event->button.window = GDK_WINDOW(g_object_ref(bin));
    event->button.send_event = FALSE;
    event->button.time = time;
    event->button.x = x;
    event->button.y = y;
    gint root_x = 0, root_y = 0;
    gdk_window_get_root_coords(bin, static_cast<gint>(x), static_cast<gint>(y), &root_x, &root_y);
    event->button.x_root = root_x;
    event->button.y_root = root_y;
    event->button.button = button;
    if (type == GDK_BUTTON_RELEASE)
        event->button.state = button == 1 ? GDK_BUTTON1_MASK : GDK_BUTTON3_MASK;
    GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(view));
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
    gdk_event_set_device(event.get(), pointer);
    gdk_event_set_source_device(event.get(), pointer);
    gtk_main_do_event(event.get());
    flush_events();
}

// Press and release of `button` at the middle of the row's text (or, with
// `on_expander`, at the middle of its expander), as the display delivers them.
// Clicks are apart, so two of them never make a double click.
void click_row(GtkTreeView* view, const std::string& text, guint button = 1,
               bool on_expander = false) {
    static guint32 clock = 100000;
    g_object_set(gtk_settings_get_default(), "gtk-double-click-time", 1, nullptr);
    spin_for(20);
    GtkTreePath* path = path_of(view, text);
    ASSERT_NE(path, nullptr) << text;
    ASSERT_TRUE(spin_until([&] { return gtk_widget_get_mapped(GTK_WIDGET(view)); }));
    gtk_tree_view_scroll_to_cell(view, path, nullptr, FALSE, 0, 0);
    flush_events();
    GdkRectangle cell;
    gtk_tree_view_get_cell_area(view, path, gtk_tree_view_get_column(view, 0), &cell);
    gtk_tree_path_free(path);
    double x = cell.x + cell.width / 2.0;
    if (on_expander) {
        gint expander = 0;
        gtk_widget_style_get(GTK_WIDGET(view), "expander-size", &expander, nullptr);
        x = cell.x - expander / 2.0 - 2;
    }
    const double y = cell.y + cell.height / 2.0;
    clock += 1000;
    send_button(view, GDK_BUTTON_PRESS, button, x, y, clock);
    send_button(view, GDK_BUTTON_RELEASE, button, x, y, clock + 50);
}

GtkTextBuffer* empty_page() {
    new_document();
    return current_document_buffer();
}

std::vector<std::pair<GtkWidget*, std::string>>& typed() {
    static std::vector<std::pair<GtkWidget*, std::string>> lines;
    return lines;
}

TEST_F(GuiTest, TheChooserOpensOneLanguageWindowAndTheNextReplacesIt) {
    empty_page();
    GtkTreeView* languages = chooser();
    ASSERT_NE(languages, nullptr);

    click_row(languages, "[CSS]");
    EXPECT_EQ(visible_windows_titled("Aide CSS"), 1);
    GtkWidget* css = help_window();
    ASSERT_NE(css, nullptr);
    EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(css)), GTK_WINDOW(window()));
    EXPECT_TRUE(gtk_widget_is_focus(GTK_WIDGET(tree_in(css))));
    GtkStatusbar* bar = GTK_STATUSBAR(find_widget(
        panel_page(PanelPage::help_tree), [](GtkWidget* w) { return GTK_IS_STATUSBAR(w); }));
    GtkWidget* area = gtk_statusbar_get_message_area(bar);
    GtkWidget* label = find_widget(area, [](GtkWidget* w) { return GTK_IS_LABEL(w); });
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(label)), "[CSS]");
    EXPECT_EQ(selected_text(languages), "") << "the row can be chosen again";

    click_row(languages, "[PERL]");
    EXPECT_EQ(visible_windows_titled("Aide CSS"), 0);
    EXPECT_EQ(visible_windows_titled("Aide Perl"), 1);
    // Every item of the tree is shown, expanded under its heading.
    EXPECT_TRUE(gtk_tree_view_row_expanded(tree_in(help_window()),
                                           path_of(tree_in(help_window()), "2 Instructions")));

    press_key(help_window(), GDK_KEY_Escape); // the release finds no window
    EXPECT_EQ(help_window(), nullptr);
    EXPECT_EQ(visible_windows_titled("Aide Perl"), 0);
}

TEST_F(GuiTest, WithoutADocumentTheChooserOnlyLogsAndCanBeChosenAgain) {
    GtkTreeView* languages = chooser();
    click_row(languages, "[CSS]");
    click_row(languages, "[CSS]");
    EXPECT_EQ(occurrences(log_text(), kNeedsDocument), 2);
    EXPECT_EQ(help_window(), nullptr);
    EXPECT_EQ(visible_windows_titled("Aide CSS"), 0);
    EXPECT_EQ(selected_text(languages), "");
}

TEST_F(GuiTest, ClicksInsertTheChosenItemOnlyWhenReleasedOverIt) {
    GtkTextBuffer* buffer = empty_page();
    GtkTreeView* tree = tree_in(help_window_open("php", "Aide Php", nullptr));
    const std::string fragment = "if ()\n{\n\n}\n\n";

    click_row(tree, "2 Instructions");
    click_row(tree, "2 Instructions", 1, true); // its expander: folds it
    click_row(tree, "2 Instructions", 1, true); // and opens it again
    EXPECT_EQ(doc_get_text(buffer), "");

    click_row(tree, "2.1 (php) IF");
    EXPECT_EQ(doc_get_text(buffer), fragment);
    click_row(tree, "2.1 (php) IF", 3);
    EXPECT_EQ(doc_get_text(buffer), fragment) << "a right click inserts nothing";
    click_row(tree, "2.1 (php) IF");
    EXPECT_EQ(doc_get_text(buffer), fragment + fragment);
    // A heading's expander released while an item is selected chooses nothing.
    click_row(tree, "3 Fichier", 1, true);
    EXPECT_EQ(doc_get_text(buffer), fragment + fragment);
    EXPECT_EQ(occurrences(log_text(), kNeedsDocument), 0);

    // The script header goes in as several pieces but comes out with one undo.
    gtk_text_buffer_set_text(buffer, "", -1);
    click_row(tree, "1.1 (php) débuter un script PHP");
    EXPECT_EQ(doc_get_text(buffer).rfind("<?php", 0), 0u) << doc_get_text(buffer);
    doc_undo();
    EXPECT_EQ(doc_get_text(buffer), "");
}

TEST_F(GuiTest, WithoutADocumentAnItemOnlyLogs) {
    GtkTreeView* tree = tree_in(help_window_open("php", "Aide Php", nullptr));
    click_row(tree, "2.1 (php) IF");
    EXPECT_EQ(occurrences(log_text(), kNeedsDocument), 1);
}

TEST_F(GuiTest, CtrlFSearchesWordBeginningsAndEnterInsertsTheRowFound) {
    GtkTextBuffer* buffer = empty_page();
    GtkTreeView* tree = tree_in(help_window_open("php", "Aide Php", nullptr));
    ASSERT_TRUE(spin_until([&] { return gtk_widget_get_mapped(GTK_WIDGET(tree)); }));
    gtk_window_present(GTK_WINDOW(help_window()));
    ASSERT_TRUE(spin_until([] { return gtk_window_is_active(GTK_WINDOW(help_window())); }));

    type_key(GTK_WIDGET(tree), GDK_KEY_f);
    EXPECT_EQ(search_entry_of(help_window()), nullptr) << "typing alone searches";

    ASSERT_TRUE(type_key(GTK_WIDGET(tree), GDK_KEY_f, GDK_CONTROL_MASK));
    GtkWidget* entry = search_entry_of(help_window());
    ASSERT_NE(entry, nullptr);
    gtk_entry_set_text(GTK_ENTRY(entry), "hier");
    EXPECT_EQ(selected_text(tree), "");
    gtk_entry_set_text(GTK_ENTRY(entry), "php fich");
    EXPECT_EQ(selected_text(tree),
              "3.1 (php) FILE : place le contenu d'un fichier (url possible) dans un tableau");
    type_key(gtk_widget_get_toplevel(entry), GDK_KEY_Down);
    EXPECT_EQ(selected_text(tree), "3.2 (php) UNLINK : supprimer un fichier");
    type_key(gtk_widget_get_toplevel(entry), GDK_KEY_Down);
    EXPECT_EQ(selected_text(tree), "3.3 (php) FPUTS : écrire dans un fichier");

    type_key(entry, GDK_KEY_Return);
    EXPECT_NE(doc_get_text(buffer).find("fputs("), std::string::npos) << doc_get_text(buffer);
}

TEST_F(GuiTest, TerminalCommandsGoToTheBoundTerminalWithoutADocument) {
    typed().clear();
    snippet_terminal_typer_set(
        [](GtkWidget* terminal, std::string_view text) { typed().emplace_back(terminal, text); });
    GtkWidget* terminal = gtk_label_new("terminal");
    g_object_ref_sink(terminal);

    GtkTreeView* tree = tree_in(help_terminal_window_open(terminal));
    EXPECT_EQ(visible_windows_titled("Aide commandes du terminal"), 1);
    click_row(tree, "1.1 (term) : Utilisation du disque");
    ASSERT_EQ(typed().size(), 1u);
    EXPECT_EQ(typed()[0].first, terminal);
    EXPECT_EQ(typed()[0].second, "df -h\n");
    EXPECT_EQ(occurrences(log_text(), kNeedsDocument), 0);

    // The window does not keep its terminal alive; once gone, nothing is typed.
    g_object_unref(terminal);
    click_row(tree, "1.1 (term) : Utilisation du disque");
    EXPECT_EQ(typed().size(), 1u);
    snippet_terminal_typer_set(nullptr);
}

} // namespace
