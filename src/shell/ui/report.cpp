#include "shell/ui/report.h"

#include <glib/gi18n-lib.h>
#include <gtksourceview/gtksource.h>
#include <libnotify/notify.h>
#include <optional>

#include "shell/data_paths.h"
#include "shell/gobj.h"
#include "shell/settings.h"
#include "shell/time_stamp.h"
#include "shell/ui/accessibility.h"
#include "shell/ui/window_parts.h"

namespace {

struct Report {
    GtkWidget* log_view = nullptr;
    GtkWidget* status_bar = nullptr;
    GtkWidget* indicator_row = nullptr;
    GtkWidget* indicator = nullptr;
    void (*saved_hook)(bool) = nullptr;
    // Pictures put at the top since the last entry: a formatted entry goes
    // right after them, so it heads its own entry.
    int pictures_on_top = 0;
    bool saved = false; // set by indicator_saved; nothing reads it yet
};

Report& report() {
    static Report r;
    return r;
}

const char* const kColorsKey = "orvane-text-colors";

void forget_if_current(GtkWidget* widget, gpointer reference) {
    auto** held = static_cast<GtkWidget**>(reference);
    if (*held == widget) *held = nullptr;
}

// Widgets die with the window; their references must not outlive them. A
// reference may have moved on to a newer widget by then, which it keeps.
void forget_on_destroy(GtkWidget* widget, GtkWidget** reference) {
    g_signal_connect(widget, "destroy", G_CALLBACK(forget_if_current), reference);
}

GtkTextBuffer* log_buffer() {
    GtkWidget* view = report().log_view;
    return view ? gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)) : nullptr;
}

GObjectPtr<GdkPixbuf> load_picture(const char* name) {
    return GObjectPtr<GdkPixbuf>(gdk_pixbuf_new_from_file(pixmap_path(name).c_str(), nullptr));
}

void log_picture(const char* name) {
    GtkTextBuffer* buffer = log_buffer();
    if (!buffer) return;
    auto picture = load_picture(name);
    if (!picture) return;
    GtkTextIter start;
    gtk_text_buffer_get_start_iter(buffer, &start);
    gtk_text_buffer_insert_pixbuf(buffer, &start, picture.get());
    ++report().pictures_on_top;
}

void indicator_show(const char* name) {
    Report& r = report();
    if (!r.indicator_row) return;
    if (r.indicator) gtk_widget_destroy(r.indicator);
    auto picture = load_picture(name);
    GtkWidget* image = picture ? gtk_image_new_from_pixbuf(picture.get()) : gtk_image_new();
    gtk_widget_set_size_request(image, 35, 10);
    gtk_box_pack_start(GTK_BOX(r.indicator_row), image, FALSE, FALSE, 0);
    gtk_widget_show(image);
    r.indicator = image;
    forget_on_destroy(image, &r.indicator);
}

std::optional<GdkRGBA> parse_color(const std::string& name) {
    GdkRGBA color;
    if (!gdk_rgba_parse(&color, name.c_str())) return std::nullopt;
    return color;
}

// A colour the toolkit does not know is left out, so one bad setting neither
// breaks the rest of the rule set nor warns.
std::string css_colors(const std::string& foreground, const std::string& background) {
    std::string out;
    if (auto fg = parse_color(foreground)) {
        GCharPtr text(gdk_rgba_to_string(&*fg));
        out += std::string(" color: ") + text.get() + ";";
    }
    if (auto bg = parse_color(background)) {
        GCharPtr text(gdk_rgba_to_string(&*bg));
        out += std::string(" background-color: ") + text.get() + ";";
    }
    return out;
}

void set_tag_color(GtkTextTag* tag, const char* property, const std::string& name) {
    if (auto color = parse_color(name)) g_object_set(tag, property, &*color, nullptr);
}

// The notification service is looked up once, without ever starting a bus.
bool session_bus_configured() {
    const char* address = g_getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address) return true;
    GCharPtr socket(g_build_filename(g_get_user_runtime_dir(), "bus", nullptr));
    return g_file_test(socket.get(), G_FILE_TEST_EXISTS);
}

bool bus_call_says(GDBusConnection* bus, const char* method, GVariant* args,
                   const GVariantType* reply_type, bool (*check)(GVariant*)) {
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", method, args,
        reply_type, G_DBUS_CALL_FLAGS_NO_AUTO_START, 500, nullptr, nullptr);
    if (!reply) return false;
    bool yes = check(reply);
    g_variant_unref(reply);
    return yes;
}

const char* const kNotificationsName = "org.freedesktop.Notifications";

bool notification_service_present() {
    if (!session_bus_configured()) return false;
    GObjectPtr<GDBusConnection> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
    if (!bus) return false;
    if (bus_call_says(bus.get(), "NameHasOwner", g_variant_new("(s)", kNotificationsName),
                      G_VARIANT_TYPE("(b)"), [](GVariant* reply) {
                          gboolean owned = FALSE;
                          g_variant_get(reply, "(b)", &owned);
                          return owned == TRUE;
                      }))
        return true;
    // A service the bus starts on demand counts as present.
    return bus_call_says(bus.get(), "ListActivatableNames", nullptr, G_VARIANT_TYPE("(as)"),
                         [](GVariant* reply) {
                             GVariant* names = g_variant_get_child_value(reply, 0);
                             gsize count = 0;
                             const gchar** list = g_variant_get_strv(names, &count);
                             bool found = false;
                             for (gsize i = 0; i < count && !found; ++i)
                                 found = g_strcmp0(list[i], kNotificationsName) == 0;
                             g_free(list);
                             g_variant_unref(names);
                             return found;
                         });
}

bool notifications_available() {
    static const bool present = notification_service_present();
    return present;
}

} // namespace

void log_scroll_to_top() {
    GtkTextBuffer* buffer = log_buffer();
    if (!buffer) return;
    // The cursor goes back to the very top, in front of any picture there.
    report().pictures_on_top = 0;
    GtkTextIter start;
    gtk_text_buffer_get_start_iter(buffer, &start);
    gtk_text_buffer_place_cursor(buffer, &start);
    gtk_text_view_scroll_to_mark(GTK_TEXT_VIEW(report().log_view),
                                 gtk_text_buffer_get_insert(buffer), 0.0, FALSE, 0.0, 0.0);
}

void log_message(std::string_view format, std::string_view argument, int /*kind*/) {
    GtkTextBuffer* buffer = log_buffer();
    if (!buffer) return;
    // The entry goes below the pictures just put on top for it. That is where
    // the cursor stands after them unless the user has clicked into the log,
    // which must not move new entries away from the top.
    GtkTextIter at;
    gtk_text_buffer_get_iter_at_offset(buffer, &at, report().pictures_on_top);
    report().pictures_on_top = 0;
    const std::string stamp = log_stamp_text(time_stamp(settings().date_time));
    gtk_text_buffer_insert(buffer, &at, stamp.data(), static_cast<gint>(stamp.size()));
    const std::string entry = log_entry_text(log_formatted_text(format, argument));
    gtk_text_buffer_insert(buffer, &at, entry.data(), static_cast<gint>(entry.size()));
    log_scroll_to_top();
}

void log_message(std::string_view text, int kind) {
    GtkTextBuffer* buffer = log_buffer();
    if (!buffer) return;
    GtkTextIter start;
    gtk_text_buffer_get_start_iter(buffer, &start);
    gtk_text_buffer_place_cursor(buffer, &start);
    if (const char* tag = log_tag_name(kind)) {
        const std::string entry = log_entry_text(text);
        gtk_text_buffer_insert_with_tags_by_name(buffer, &start, entry.data(),
                                                 static_cast<gint>(entry.size()), tag, nullptr);
        report().pictures_on_top = 0;
    }
    log_scroll_to_top();
}

void log_icon_info() {
    log_picture("orvane_log.png");
}
void log_icon_error() {
    log_picture("orvane_stop2.png");
}
void log_icon_ok() {
    log_picture("orvane_ok2.png");
}
void log_icon_help() {
    log_picture("orvane_man.png");
}
void log_icon_saved() {
    log_picture("orvane_save2.png");
}
void log_icon_not_saved() {
    log_picture("orvane_nosave2.png");
}

void indicator_ok() {
    indicator_show("orvane_ok.png");
}
void indicator_stop() {
    indicator_show("orvane_stop.png");
}
void indicator_net() {
    indicator_show("orvane_net.png");
}
void indicator_busy() {
    indicator_show("orvane_advance.png");
}

void indicator_not_saved() {
    indicator_show("orvane_nosave.png");
    if (report().saved_hook) report().saved_hook(false);
}

void indicator_saved() {
    indicator_show("orvane_save.png");
    if (report().saved_hook) report().saved_hook(true);
    report().saved = true;
}

void indicator_set_saved_hook(void (*hook)(bool visible)) {
    report().saved_hook = hook;
}

void status_message(std::string_view text) {
    GtkWidget* bar = report().status_bar;
    if (!bar) return;
    const std::string message(text);
    // Each distinct text has its own context; messages are never popped.
    guint context = gtk_statusbar_get_context_id(GTK_STATUSBAR(bar), message.c_str());
    gtk_statusbar_push(GTK_STATUSBAR(bar), context, message.c_str());
}

void status_message(const char* text) {
    if (text) status_message(std::string_view(text));
}

void notify_user(std::string_view text) {
    if (!notifications_available()) return;
    if (!notify_is_initted() && !notify_init("libnotify")) return;
    const std::string body(text);
    GObjectPtr<NotifyNotification> note(notify_notification_new(
        "Orvane IDE", body.c_str(), pixmap_path("orvane_button.png").c_str()));
    if (note) notify_notification_show(note.get(), nullptr);
}

GtkWidget* log_style_view_new(const char* accessible_name) {
    GtkWidget* view = gtk_source_view_new();
    set_accessible_name(view, accessible_name);
    GtkSourceView* source = GTK_SOURCE_VIEW(view);
    gtk_source_view_set_show_right_margin(source, TRUE);
    gtk_source_view_set_show_line_marks(source, TRUE);
    gtk_text_view_set_editable(GTK_TEXT_VIEW(view), FALSE);
    gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(view), FALSE);
    GObjectPtr<GtkCssProvider> font(gtk_css_provider_new());
    gtk_css_provider_load_from_data(font.get(), "textview { font-family: mono; font-size: 8pt; }",
                                    -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(view),
                                   GTK_STYLE_PROVIDER(font.get()),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    GtkSourceBuffer* buffer = GTK_SOURCE_BUFFER(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)));
    if (GtkSourceStyleScheme* scheme = gtk_source_style_scheme_manager_get_scheme(
            gtk_source_style_scheme_manager_get_default(), theme_name().c_str()))
        gtk_source_buffer_set_style_scheme(buffer, scheme);
    return view;
}

GtkWidget* log_view_create() {
    Report& r = report();
    GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    GtkWidget* view = log_style_view_new(_("Informations"));
    gtk_source_view_set_show_line_numbers(GTK_SOURCE_VIEW(view), TRUE);
    gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), GTK_WRAP_WORD);
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));

    gtk_text_buffer_create_tag(buffer, "lm_greet", "foreground", "#6c0606", nullptr);
    gtk_text_buffer_create_tag(buffer, "gray_bg", "background", "gray", nullptr);
    gtk_text_buffer_create_tag(buffer, "lm_error", "foreground", "red", nullptr);
    gtk_text_buffer_create_tag(buffer, "lm_normal", "foreground", "black", nullptr);
    gtk_text_buffer_create_tag(buffer, "lm_advice", "foreground", "navy", nullptr);

    gtk_container_add(GTK_CONTAINER(scroll), view);
    r.log_view = view;
    r.pictures_on_top = 0;
    forget_on_destroy(view, &r.log_view);
    log_apply_error_tag_colors();
    return scroll;
}

GtkWidget* log_view() {
    return report().log_view;
}

GtkWidget* status_bar_create() {
    Report& r = report();
    r.status_bar = gtk_statusbar_new();
    forget_on_destroy(r.status_bar, &r.status_bar);
    return r.status_bar;
}

GtkWidget* status_bar() {
    return report().status_bar;
}

void indicator_create(GtkBox* row) {
    Report& r = report();
    GtkWidget* widget = row ? GTK_WIDGET(row) : nullptr;
    if (r.indicator_row != widget) {
        r.indicator = nullptr; // it belongs to the old row, which keeps it
        r.indicator_row = widget;
        if (widget) forget_on_destroy(widget, &r.indicator_row);
    }
    indicator_ok();
}

GtkWidget* indicator_widget() {
    return report().indicator;
}

void apply_text_colors_to(GtkWidget* widget) {
    if (!widget) return;
    const Settings& s = settings();
    const char* node = GTK_IS_ENTRY(widget) ? "entry" : "textview text";
    const std::string css =
        std::string(node) + " {" + css_colors(s.text_foreground, s.text_background) + " } " + node +
        " selection {" + css_colors(s.text_sel_foreground, s.text_sel_background) + " }";
    auto* provider = static_cast<GtkCssProvider*>(g_object_get_data(G_OBJECT(widget), kColorsKey));
    if (!provider) {
        provider = gtk_css_provider_new();
        gtk_style_context_add_provider(gtk_widget_get_style_context(widget),
                                       GTK_STYLE_PROVIDER(provider),
                                       GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        g_object_set_data_full(G_OBJECT(widget), kColorsKey, provider, g_object_unref);
    }
    gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
}

void log_apply_error_tag_colors() {
    GtkTextBuffer* buffer = log_buffer();
    if (!buffer) return;
    GtkTextTag* tag = gtk_text_tag_table_lookup(gtk_text_buffer_get_tag_table(buffer), "lm_error");
    if (!tag) return;
    const Settings& s = settings();
    set_tag_color(tag, "foreground-rgba", s.tag_color_lm_error_fg);
    set_tag_color(tag, "background-rgba", s.tag_color_lm_error_bg);
}
