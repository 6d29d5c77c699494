#include "terminal/ui/terminal_view.h"

#include <glib/gi18n-lib.h>
#include <unordered_map>
#include <vector>
#include <vte/vte.h>

#include "documents/ui/document_hooks.h"
#include "shell/data_paths.h"
#include "shell/gobj.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"
#include "terminal/ui/terminal_panel.h"
#include "web/ui/web_views.h"
#include "web/web_addresses.h"

namespace {

struct TerminalState {
    std::string folder;
    bool start_wanted = false; // terminal_view_start was called
    bool spawning = false;     // the spawn was asked of the terminal
    bool running = false;
    bool gone = false; // the shell ended or could not start: nothing more is typed
    std::string queued;
    TerminalExitHandler on_exit = nullptr;
};

std::unordered_map<GtkWidget*, TerminalState>& states() {
    static std::unordered_map<GtkWidget*, TerminalState> s;
    return s;
}

TerminalState* state_of(GtkWidget* terminal) {
    auto it = states().find(terminal);
    return it == states().end() ? nullptr : &it->second;
}

TerminalHelpOpener& help_opener() {
    static TerminalHelpOpener opener = nullptr;
    return opener;
}

GtkWidget*& shown_menu() {
    static GtkWidget* menu = nullptr;
    return menu;
}

// The picture drawn faintly behind every terminal's text, tiled.
cairo_surface_t* background_picture() {
    static cairo_surface_t* surface = [] {
        GObjectPtr<GdkPixbuf> pixbuf(
            gdk_pixbuf_new_from_file(pixmap_path("orvane_bg2.png").c_str(), nullptr));
        return pixbuf ? gdk_cairo_surface_create_from_pixbuf(pixbuf.get(), 1, nullptr) : nullptr;
    }();
    return surface;
}

constexpr double kPictureAlpha = 0.1;

// The terminal leaves its background to this handler, which runs before the
// terminal draws its text.
gboolean on_draw_background(GtkWidget* widget, cairo_t* cr, gpointer) {
    GdkRGBA color;
    vte_terminal_get_color_background_for_draw(VTE_TERMINAL(widget), &color);
    gdk_cairo_set_source_rgba(cr, &color);
    cairo_paint(cr);
    if (cairo_surface_t* picture = background_picture()) {
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(picture);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
        cairo_set_source(cr, pattern);
        cairo_paint_with_alpha(cr, kPictureAlpha);
        cairo_pattern_destroy(pattern);
    }
    return FALSE;
}

void feed(GtkWidget* terminal, std::string_view text) {
    if (!text.empty())
        vte_terminal_feed_child(VTE_TERMINAL(terminal), text.data(),
                                static_cast<gssize>(text.size()));
}

void on_spawned(VteTerminal* terminal, GPid, GError* error, gpointer) {
    // A terminal destroyed before its shell started arrives as null.
    if (!terminal) return;
    TerminalState* state = state_of(GTK_WIDGET(terminal));
    if (!state) return;
    if (error) {
        state->gone = true;
        state->queued.clear();
        log_icon_error();
        log_message(_("Le terminal n'a pas pu lancer le shell : %s"), error->message, LM_ERROR);
        return;
    }
    state->running = true;
    std::string queued = std::move(state->queued);
    state->queued.clear();
    feed(GTK_WIDGET(terminal), queued);
}

// $SHELL when the user set one, else the account's login shell, else /bin/sh.
std::string user_shell() {
    const char* env = g_getenv("SHELL");
    if (env && g_path_is_absolute(env) && g_file_test(env, G_FILE_TEST_IS_EXECUTABLE)) return env;
    GCharPtr account(vte_get_user_shell());
    if (account && *account) return account.get();
    return "/bin/sh";
}

void spawn(GtkWidget* terminal) {
    TerminalState* state = state_of(terminal);
    if (!state || state->spawning) return;
    state->spawning = true;
    std::string shell = user_shell();
    char* argv[] = {shell.data(), nullptr};
    const char* folder = state->folder.empty() ? nullptr : state->folder.c_str();
    vte_terminal_spawn_async(VTE_TERMINAL(terminal), VTE_PTY_DEFAULT, folder, argv, nullptr,
                             G_SPAWN_DEFAULT, nullptr, nullptr, nullptr, -1, nullptr, on_spawned,
                             nullptr);
}

void spawn_waiting() {
    std::vector<GtkWidget*> waiting;
    for (auto& [terminal, state] : states())
        if (state.start_wanted && !state.spawning) waiting.push_back(terminal);
    for (GtkWidget* terminal : waiting)
        spawn(terminal);
}

bool main_window_drawn() {
    GtkWindow* window = main_window();
    return !window || gtk_widget_get_mapped(GTK_WIDGET(window));
}

// Once the main window maps, the waiting shells start from a low-priority idle,
// which runs after the first frame has been drawn.
void wait_for_main_window() {
    static GtkWindow* watched = nullptr;
    GtkWindow* window = main_window();
    if (!window || window == watched) return;
    if (watched)
        g_object_remove_weak_pointer(G_OBJECT(watched), reinterpret_cast<gpointer*>(&watched));
    watched = window;
    g_object_add_weak_pointer(G_OBJECT(watched), reinterpret_cast<gpointer*>(&watched));
    g_signal_connect(window, "map-event",
                     G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer) -> gboolean {
                         g_idle_add_full(
                             G_PRIORITY_LOW,
                             [](gpointer) -> gboolean {
                                 spawn_waiting();
                                 return G_SOURCE_REMOVE;
                             },
                             nullptr, nullptr);
                         return FALSE;
                     }),
                     nullptr);
}

void on_child_exited(VteTerminal* terminal, gint, gpointer) {
    GtkWidget* widget = GTK_WIDGET(terminal);
    // A terminal being destroyed reports its shell's end too; that is not a
    // reason to close anything.
    if (gtk_widget_in_destruction(widget)) return;
    GtkWidget* parent = gtk_widget_get_parent(widget);
    if (parent && gtk_widget_in_destruction(parent)) return;
    TerminalState* state = state_of(widget);
    if (!state) return;
    state->running = false;
    state->gone = true;
    state->queued.clear();
    if (state->on_exit) state->on_exit(widget);
}

void on_destroy(GtkWidget* terminal, gpointer) {
    states().erase(terminal);
}

void on_copy(GtkMenuItem*, gpointer terminal) {
    vte_terminal_copy_clipboard_format(VTE_TERMINAL(terminal), VTE_FORMAT_TEXT);
}

void on_paste(GtkMenuItem*, gpointer terminal) {
    vte_terminal_paste_clipboard(VTE_TERMINAL(terminal));
}

void on_save_text(GtkMenuItem*, gpointer terminal) {
    GCharPtr text(vte_terminal_get_text(VTE_TERMINAL(terminal), nullptr, nullptr, nullptr));
    new_document_with_text(text ? text.get() : "");
}

void on_web_search(GtkMenuItem*, gpointer terminal) {
    GCharPtr text(vte_terminal_get_text_selected(VTE_TERMINAL(terminal), VTE_FORMAT_TEXT));
    if (!text || !*text) return;
    web_panel_load(WebPanel::help_search, web_search_address(text.get()));
    notify_user(_("Le résultat de la recherche est disponible dans l'onglet :\n"
                  "MyAdmin->Aide/Recherche"));
}

void on_help(GtkMenuItem*, gpointer terminal) {
    if (TerminalHelpOpener open = help_opener()) open(GTK_WIDGET(terminal));
}

GtkWidget* stock_item(const char* stock) {
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GtkWidget* item = gtk_image_menu_item_new_from_stock(stock, nullptr);
    gtk_image_menu_item_set_always_show_image(GTK_IMAGE_MENU_ITEM(item), TRUE);
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_widget_set_name(item, stock);
    return item;
}

GtkWidget* text_item(const char* label) {
    GtkWidget* item = gtk_menu_item_new_with_label(label);
    gtk_widget_set_name(item, label);
    return item;
}

void add(GtkWidget* menu, GtkWidget* item, void (*handler)(GtkMenuItem*, gpointer),
         GtkWidget* terminal) {
    g_signal_connect(item, "activate", G_CALLBACK(handler), terminal);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
}

gboolean on_button_press(GtkWidget* terminal, GdkEventButton* event, gpointer) {
    if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_SECONDARY) {
        gtk_widget_grab_focus(terminal);
        return FALSE;
    }
    GtkWidget* menu = terminal_menu_new(terminal);
    gtk_widget_show_all(menu);
    gtk_menu_popup_at_pointer(GTK_MENU(menu), reinterpret_cast<GdkEvent*>(event));
    return TRUE;
}

// The keyboard's menu key and Shift+F10 open the same menu.
gboolean on_popup_menu(GtkWidget* terminal, gpointer) {
    GtkWidget* menu = terminal_menu_new(terminal);
    gtk_widget_show_all(menu);
    gtk_menu_popup_at_widget(GTK_MENU(menu), terminal, GDK_GRAVITY_CENTER, GDK_GRAVITY_NORTH_WEST,
                             nullptr);
    return TRUE;
}

} // namespace

GtkWidget* terminal_view_new(const std::string& folder) {
    GtkWidget* terminal = vte_terminal_new();
    gtk_widget_set_name(terminal, "terminal");
    atk_object_set_name(gtk_widget_get_accessible(terminal), _("Terminal"));
    VteTerminal* vte = VTE_TERMINAL(terminal);
    vte_terminal_set_scroll_on_keystroke(vte, TRUE);
    vte_terminal_set_clear_background(vte, FALSE);
    g_signal_connect(terminal, "draw", G_CALLBACK(on_draw_background), nullptr);
    g_signal_connect(terminal, "child-exited", G_CALLBACK(on_child_exited), nullptr);
    g_signal_connect(terminal, "button-press-event", G_CALLBACK(on_button_press), nullptr);
    g_signal_connect(terminal, "popup-menu", G_CALLBACK(on_popup_menu), nullptr);
    g_signal_connect(terminal, "destroy", G_CALLBACK(on_destroy), nullptr);
    states()[terminal].folder = folder;
    return terminal;
}

void terminal_view_start(GtkWidget* terminal) {
    TerminalState* state = state_of(terminal);
    if (!state || state->start_wanted) return;
    state->start_wanted = true;
    if (main_window_drawn()) {
        spawn(terminal);
        return;
    }
    wait_for_main_window();
    g_signal_connect(terminal, "map",
                     G_CALLBACK(+[](GtkWidget* widget, gpointer) { spawn(widget); }), nullptr);
}

bool terminal_view_running(GtkWidget* terminal) {
    TerminalState* state = state_of(terminal);
    return state && state->running;
}

void terminal_view_on_exit(GtkWidget* terminal, TerminalExitHandler handler) {
    if (TerminalState* state = state_of(terminal)) state->on_exit = handler;
}

GtkWidget* terminal_menu_new(GtkWidget* terminal) {
    if (GtkWidget* old = shown_menu()) gtk_widget_destroy(old);
    GtkWidget* menu = gtk_menu_new();
    gtk_widget_set_name(menu, "terminal_menu");
    gtk_container_set_border_width(GTK_CONTAINER(menu), 2);
    gtk_menu_attach_to_widget(GTK_MENU(menu), terminal, nullptr);
    if (vte_terminal_get_has_selection(VTE_TERMINAL(terminal)))
        add(menu, stock_item("gtk-copy"), on_copy, terminal);
    add(menu, stock_item("gtk-paste"), on_paste, terminal);
    add(menu, text_item(_("Sauvegarder dans un fichier texte")), on_save_text, terminal);
    add(menu, text_item(_("Recherche Google")), on_web_search, terminal);
    add(menu, text_item(_("Aide")), on_help, terminal);
    shown_menu() = menu;
    g_object_add_weak_pointer(G_OBJECT(menu), reinterpret_cast<gpointer*>(&shown_menu()));
    return menu;
}

void terminal_type(GtkWidget* terminal, std::string_view text) {
    if (!terminal) return;
    TerminalState* state = state_of(terminal);
    if (!state || state->gone) return;
    if (state->running)
        feed(terminal, text);
    else
        state->queued += text;
}

void terminal_help_opener_set(TerminalHelpOpener opener) {
    help_opener() = opener;
}
