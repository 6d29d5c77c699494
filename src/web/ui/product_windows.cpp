#include "web/ui/product_windows.h"

#include <glib/gi18n-lib.h>
#include <webkit2/webkit2.h>

#include <string>

#include "shell/data_paths.h"
#include "shell/ui/window_parts.h"
#include "web/product_pages.h"
#include "web/ui/browser_window.h"
#include "web/ui/web_views.h"

namespace {

GtkWidget* transient_window(const char* title, const char* name) {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_set_name(window, name);
    gtk_window_set_title(GTK_WINDOW(window), title);
    if (GtkWindow* main = main_window()) gtk_window_set_transient_for(GTK_WINDOW(window), main);
    return window;
}

// A window showing one of the product's pages; the manual's links may open
// browser windows.
void product_page_window(const char* title, int width, int height, const std::string& uri,
                         bool manual) {
    GtkWidget* window = transient_window(title, "product_page_window");
    gtk_window_set_default_size(GTK_WINDOW(window), width, height);
    GtkWidget* view = web_view_new();
    if (manual) {
        GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
        gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC,
                                       GTK_POLICY_AUTOMATIC);
        gtk_container_add(GTK_CONTAINER(scrolled), view);
        gtk_container_add(GTK_CONTAINER(window), scrolled);
        web_view_open_browser_windows(view, true, true);
    } else {
        gtk_container_add(GTK_CONTAINER(window), view);
    }
    gtk_widget_show_all(window);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), uri.c_str());
}

// The product's site is offline: its link opens in a browser window of ours.
gboolean on_activate_link(GtkButton* button, gpointer) {
    browser_window_new(gtk_link_button_get_uri(GTK_LINK_BUTTON(button)));
    return TRUE;
}

void on_close(GtkButton*, gpointer window) {
    gtk_widget_destroy(GTK_WIDGET(window));
}

gboolean on_key_press(GtkWidget* window, GdkEventKey* event, gpointer) {
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    gtk_widget_destroy(window);
    return TRUE;
}

} // namespace

void version_window_command() {
    product_page_window(_("Version Orvane IDE"), 670, 255, product_version_page(), false);
}

void manual_window_command() {
    product_page_window(_("Documentation Orvane IDE"), 930, 600, product_manual_page(), true);
}

void bug_report_window_command() {
    product_page_window(_("Rapport Orvane IDE"), 670, 345, product_bug_report_page(), false);
}

void about_box_command() {
    GtkWidget* window = transient_window(_("A-propos de Orvane IDE"), "about_box");
    g_signal_connect(window, "key-press-event", G_CALLBACK(on_key_press), nullptr);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
    gtk_container_add(GTK_CONTAINER(window), box);
    gtk_box_pack_start(GTK_BOX(box),
                       gtk_image_new_from_file(pixmap_path("splash_orvane.png").c_str()), FALSE,
                       FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), gtk_separator_new(GTK_ORIENTATION_HORIZONTAL), FALSE, FALSE,
                       0);
    const std::string text = std::string(kProductName) + " IDE " + kProductVersion + "\n\n" +
                             _("Environnement de développement pour le web et les scripts.\n"
                               "Merci à toutes celles et ceux qui l'écrivent, le testent, le "
                               "traduisent et signalent ses problèmes.");
    GtkWidget* label = gtk_label_new(text.c_str());
    gtk_label_set_justify(GTK_LABEL(label), GTK_JUSTIFY_CENTER);
    gtk_widget_set_name(label, "about_text");
    gtk_box_pack_start(GTK_BOX(box), label, FALSE, FALSE, 4);
    GtkWidget* link =
        gtk_link_button_new_with_label(product_home_page().c_str(), _("Le site de Orvane IDE"));
    g_signal_connect(link, "activate-link", G_CALLBACK(on_activate_link), nullptr);
    gtk_box_pack_start(GTK_BOX(box), link, FALSE, FALSE, 0);
    GtkWidget* close = gtk_button_new_with_mnemonic(_("_Close"));
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_button_set_image(GTK_BUTTON(close),
                         gtk_image_new_from_stock("gtk-close", GTK_ICON_SIZE_BUTTON));
    G_GNUC_END_IGNORE_DEPRECATIONS
    g_signal_connect(close, "clicked", G_CALLBACK(on_close), window);
    gtk_box_pack_start(GTK_BOX(box), close, FALSE, FALSE, 0);
    gtk_widget_show_all(window);
    gtk_widget_grab_focus(close);
}
