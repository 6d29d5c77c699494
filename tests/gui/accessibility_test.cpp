// Keyboard reach and accessible names: every control of the main window and of
// the windows it opens has a name a screen reader can say (its text, or its
// tooltip when it shows only a picture) and can take the focus; modal windows
// close on Escape. A failure lists each offender with its place in the tree.
//
// Not walked yet: the web views (WebKitWebView) and the "Mini Web" and
// "MyAdmin" pages that hold them; the file chooser's own insides, which belong
// to the toolkit; notebook tab heads (the tabs are reached through the notebook).
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "documents/ui/document_hooks.h"
#include "documents/ui/search.h"
#include "gui/support/gui_fixture.h"
#include "gui/support/key_events.h"
#include "remote/ui/remote_pages.h"
#include "shell/ui/preferences.h"
#include "shell/ui/window_parts.h"
#include "snippets/ui/command_builder_dialogs.h"
#include "snippets/ui/help_windows.h"
#include "terminal/ui/run_window.h"
#include "tools/ui/projects.h"

namespace {

std::string str(const char* text) {
    return text ? text : "";
}

std::string tooltip_of(GtkWidget* w) {
    gchar* tip = gtk_widget_get_tooltip_text(w);
    std::string out = str(tip);
    g_free(tip);
    return out;
}

std::string accessible_name(GtkWidget* w) {
    AtkObject* accessible = gtk_widget_get_accessible(w);
    return accessible ? str(atk_object_get_name(accessible)) : "";
}

bool labelled_by_something(GtkWidget* w) {
    AtkObject* accessible = gtk_widget_get_accessible(w);
    if (!accessible) return false;
    AtkRelationSet* set = atk_object_ref_relation_set(accessible);
    if (!set) return false;
    AtkRelation* relation = atk_relation_set_get_relation_by_type(set, ATK_RELATION_LABELLED_BY);
    GPtrArray* targets = relation ? atk_relation_get_target(relation) : nullptr;
    const bool labelled = targets && targets->len > 0;
    g_object_unref(set);
    return labelled;
}

// The text of the first label with text under `w`, internal children included.
std::string label_text_under(GtkWidget* w) {
    if (GTK_IS_LABEL(w)) return str(gtk_label_get_text(GTK_LABEL(w)));
    if (!GTK_IS_CONTAINER(w)) return "";
    std::string found;
    gtk_container_forall(
        GTK_CONTAINER(w),
        [](GtkWidget* child, gpointer data) {
            auto* out = static_cast<std::string*>(data);
            if (out->empty()) *out = label_text_under(child);
        },
        &found);
    return found;
}

// Whether a button shows a visible text; otherwise it is a picture.
bool shows_text(GtkWidget* w) {
    if (GTK_IS_LABEL(w))
        return gtk_widget_get_visible(w) && *gtk_label_get_text(GTK_LABEL(w)) != '\0';
    if (!GTK_IS_CONTAINER(w)) return false;
    bool found = false;
    gtk_container_forall(
        GTK_CONTAINER(w),
        [](GtkWidget* child, gpointer data) {
            auto* out = static_cast<bool*>(data);
            *out = *out || shows_text(child);
        },
        &found);
    return found;
}

std::vector<GtkWidget*> children_of(GtkWidget* w) {
    std::vector<GtkWidget*> out;
    if (!GTK_IS_CONTAINER(w)) return out;
    gtk_container_foreach(
        GTK_CONTAINER(w),
        [](GtkWidget* child, gpointer data) {
            static_cast<std::vector<GtkWidget*>*>(data)->push_back(child);
        },
        &out);
    return out;
}

bool type_is(GtkWidget* w, const char* prefix) {
    return g_str_has_prefix(G_OBJECT_TYPE_NAME(w), prefix);
}

class Audit {
  public:
    std::vector<std::string> offenders;
    int checked = 0; // controls looked at

    void walk(GtkWidget* w, const std::string& parent) {
        if (type_is(w, "WebKit") || GTK_IS_FILE_CHOOSER_WIDGET(w)) return;
        const std::string path = parent + "/" + segment(w);

        if (GTK_IS_TOOL_BUTTON(w)) {
            // The button inside the item takes the focus and is what is read.
            GtkWidget* button = gtk_bin_get_child(GTK_BIN(w));
            check_button(button, tooltip_of(w), path);
            return;
        }
        if (GTK_IS_BUTTON(w)) return check_button(w, tooltip_of(w), path);
        if (GTK_IS_ENTRY(w) || GTK_IS_COMBO_BOX(w) || GTK_IS_TREE_VIEW(w) || GTK_IS_TEXT_VIEW(w) ||
            GTK_IS_ICON_VIEW(w) || type_is(w, "VteTerminal")) {
            check_field(w, path);
            return;
        }
        if (GTK_IS_RANGE(w) || GTK_IS_SWITCH(w)) {
            if (accessible_name(w).empty()) offender(path, "no accessible name");
            if (!gtk_widget_get_can_focus(w)) offender(path, "cannot take the focus");
            return;
        }
        if (GTK_IS_MENU_ITEM(w)) {
            // An item without a child is a separator to the toolkit too.
            const bool separator = GTK_IS_SEPARATOR_MENU_ITEM(w) || GTK_IS_TEAROFF_MENU_ITEM(w) ||
                                   !gtk_bin_get_child(GTK_BIN(w));
            if (!separator && accessible_name(w).empty())
                offender(path, "menu item without a name");
            if (GtkWidget* menu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(w))) walk(menu, path);
            return;
        }
        if (GTK_IS_NOTEBOOK(w)) {
            GtkNotebook* nb = GTK_NOTEBOOK(w);
            for (int i = 0; i < gtk_notebook_get_n_pages(nb); ++i) {
                GtkWidget* page = gtk_notebook_get_nth_page(nb, i);
                const std::string tab = label_text_under(gtk_notebook_get_tab_label(nb, page));
                walk(page, path + "[" + tab + "]");
            }
            return;
        }
        for (GtkWidget* child : children_of(w))
            walk(child, path);
    }

  private:
    static std::string segment(GtkWidget* w) {
        std::string s = G_OBJECT_TYPE_NAME(w);
        const std::string name = str(gtk_widget_get_name(w));
        if (!name.empty() && name != s) s += "#" + name;
        if (GTK_IS_BUTTON(w) || GTK_IS_MENU_ITEM(w)) {
            const std::string text = label_text_under(w);
            if (!text.empty()) s += " '" + text + "'";
        }
        return s;
    }

    void offender(const std::string& path, const std::string& what) {
        offenders.push_back(path + ": " + what);
    }

    void check_button(GtkWidget* button, const std::string& tip, const std::string& path) {
        ++checked;
        const std::string name = accessible_name(button);
        if (name.empty())
            offender(path, "no accessible name");
        else if (!shows_text(button) && !tip.empty() && name != tip)
            offender(path,
                     "picture button named '" + name + "' instead of its tooltip '" + tip + "'");
        if (!gtk_widget_get_can_focus(button)) offender(path, "cannot take the focus");
    }

    void check_field(GtkWidget* w, const std::string& path) {
        ++checked;
        if (accessible_name(w).empty() && !labelled_by_something(w))
            offender(path, "neither an accessible name nor a label for it");
        bool focusable = gtk_widget_get_can_focus(w);
        if (GTK_IS_COMBO_BOX(w))
            gtk_container_forall(
                GTK_CONTAINER(w),
                [](GtkWidget* child, gpointer data) {
                    *static_cast<bool*>(data) |= gtk_widget_get_can_focus(child) != FALSE;
                },
                &focusable);
        if (!focusable) offender(path, "cannot take the focus");
    }
};

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += "  " + line + "\n";
    return out;
}

std::vector<std::string> audit(GtkWidget* root) {
    Audit a;
    a.walk(root, "");
    return a.offenders;
}

// Shows each page of `notebook` in turn, so content built when a page first
// shows exists.
void show_every_page(GtkWidget* notebook) {
    GtkNotebook* nb = GTK_NOTEBOOK(notebook);
    for (int i = 0; i < gtk_notebook_get_n_pages(nb); ++i) {
        const std::string tab =
            label_text_under(gtk_notebook_get_tab_label(nb, gtk_notebook_get_nth_page(nb, i)));
        gtk_notebook_set_current_page(nb, i);
        spin_for(50);
    }
}

TEST_F(GuiTest, EveryControlOfTheMainWindowHasANameAndTakesTheFocus) {
    new_document();
    GtkNotebook* main = GTK_NOTEBOOK(main_notebook());
    gtk_notebook_set_current_page(
        main, gtk_notebook_page_num(main, gtk_widget_get_parent(side_notebook())));
    show_every_page(side_notebook());
    gtk_notebook_set_current_page(
        main, gtk_notebook_page_num(main, gtk_widget_get_parent(bottom_notebook())));
    show_every_page(bottom_notebook());
    gtk_notebook_set_current_page(main, 1);
    flush_events();

    Audit a;
    a.walk(window(), "");
    // Well over forty controls live on these pages: a walk that missed them proves nothing.
    EXPECT_GT(a.checked, 40);
    EXPECT_TRUE(a.offenders.empty()) << a.offenders.size() << " offenders:\n"
                                     << joined(a.offenders);
}

// A visible top-level window that is not among `before`.
GtkWidget* new_window(const std::set<GtkWidget*>& before) {
    GtkWidget* found = nullptr;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l && !found; l = l->next) {
        GtkWidget* w = GTK_WIDGET(l->data);
        if (gtk_window_get_window_type(GTK_WINDOW(w)) == GTK_WINDOW_TOPLEVEL &&
            gtk_widget_get_visible(w) && !before.count(w))
            found = w;
    }
    g_list_free(all);
    return found;
}

std::set<GtkWidget*> visible_windows() {
    std::set<GtkWidget*> out;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l; l = l->next)
        if (gtk_widget_get_visible(GTK_WIDGET(l->data))) out.insert(GTK_WIDGET(l->data));
    g_list_free(all);
    return out;
}

struct WindowCheck {
    std::string title;
    std::vector<std::string> offenders;
    bool found = false;
    bool escape_closed = false;
};

// Opens a window with `open` and, once it shows, walks it and types Escape on
// it. Polled from the main loop, so a window that runs its own loop until it
// is answered is checked the same way as one that returns at once. A window
// that stays open is destroyed (or, when no Escape is expected, hidden) so it
// holds back neither `open` nor the windows checked after it.
WindowCheck check_window(const std::function<void()>& open, bool answers_escape) {
    struct Probe {
        std::set<GtkWidget*> before;
        bool answers_escape = true;
        WindowCheck result;
        GtkWidget* window = nullptr;
        int ticks = 0;
        int pressed_at = 0;
        bool done = false;

        void tick() {
            ++ticks;
            if (!result.found) {
                GtkWidget* w = new_window(before);
                if (w && gtk_widget_get_mapped(w)) {
                    seen(w);
                } else if (ticks > 250) {
                    done = true;
                }
                return;
            }
            if (!window || !gtk_widget_get_visible(window)) {
                result.escape_closed = true;
                done = true;
            } else if (ticks - pressed_at > 100) {
                let_go();
            }
        }
        void seen(GtkWidget* w) {
            result.found = true;
            result.title = str(gtk_window_get_title(GTK_WINDOW(w)));
            result.offenders = audit(w);
            window = w;
            g_object_add_weak_pointer(G_OBJECT(w), reinterpret_cast<gpointer*>(&window));
            if (!answers_escape) return let_go();
            pressed_at = ticks;
            press_key(w, GDK_KEY_Escape);
        }
        void let_go() {
            GtkWidget* w = window;
            g_object_remove_weak_pointer(G_OBJECT(w), reinterpret_cast<gpointer*>(&window));
            window = nullptr;
            if (answers_escape)
                gtk_widget_destroy(w);
            else
                gtk_widget_hide(w);
            done = true;
        }
    } probe;
    probe.before = visible_windows();
    probe.answers_escape = answers_escape;
    const guint source = g_timeout_add(
        20,
        [](gpointer data) -> gboolean {
            auto* p = static_cast<Probe*>(data);
            p->tick();
            return p->done ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
        },
        &probe);
    open();
    if (!spin_until([&] { return probe.done; }, 10000)) g_source_remove(source);
    if (probe.window)
        g_object_remove_weak_pointer(G_OBJECT(probe.window),
                                     reinterpret_cast<gpointer*>(&probe.window));
    return probe.result;
}

TEST_F(GuiTest, EveryWindowItOpensHasNamedControlsAndModalOnesCloseOnEscape) {
    new_document();
    struct Opened {
        const char* title;
        std::function<void()> open;
        bool answers_escape = true;
    };
    const Opened table[] = {
        {"Options", preferences_open},
        {"Aide pour Grep", open_grep_builder},
        {"Aide Sed", open_sed_builder},
        {"Aide Awk", open_awk_builder},
        {"Style de variable", open_scp_builder},
        {"Nombre d'options", open_case_builder},
        {"Monter un serveur en SFTP", sftp_mount_dialog_command},
        {"Monter un serveur en FTP", ftp_mount_dialog_command},
        {"Project properties", project_new_command},
        {"Search and Replace window", search_replace_window_command},
        {"PHP", [] { help_window_open("php", "PHP", nullptr); }},
        {"Ajouter une nouvelle ligne",
         [] {
             GtkWidget* add = find_widget(GTK_WIDGET(main_window()), [](GtkWidget* w) {
                 return GTK_IS_BUTTON(w) && str(gtk_widget_get_name(w)) == "todo_add";
             });
             if (add) gtk_button_clicked(GTK_BUTTON(add));
         }},
        {"", open_run_window, false},
    };
    for (const Opened& o : table) {
        SCOPED_TRACE(o.title);
        const WindowCheck seen = check_window(o.open, o.answers_escape);
        ASSERT_TRUE(seen.found) << "no window opened";
        if (*o.title) {
            EXPECT_EQ(seen.title, o.title);
        }
        EXPECT_TRUE(seen.offenders.empty()) << seen.offenders.size() << " offenders:\n"
                                            << joined(seen.offenders);
        if (o.answers_escape) {
            EXPECT_TRUE(seen.escape_closed) << "Escape left it open";
        }
    }
}

} // namespace
