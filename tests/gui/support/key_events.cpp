#include "gui/support/key_events.h"

#include <gdk/gdkkeysyms.h>
#include <memory>

namespace {

bool send(GtkWidget* widget, GdkEventType type, guint keyval, GdkModifierType state) {
    GdkWindow* window = gtk_widget_get_window(widget);
    if (!window) return false;
    std::unique_ptr<GdkEvent, decltype(&gdk_event_free)> owned(gdk_event_new(type), gdk_event_free);
    GdkEvent* event = owned.get();
    event->key.window = GDK_WINDOW(g_object_ref(window));
    event->key.send_event = FALSE;
    event->key.time = GDK_CURRENT_TIME;
    event->key.state = state;
    event->key.keyval = keyval;
    GdkDisplay* display = gtk_widget_get_display(widget);
    GdkKeymapKey* keys = nullptr;
    gint n_keys = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), keyval, &keys,
                                          &n_keys) &&
        n_keys > 0) {
        event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
        event->key.group = static_cast<guint8>(keys[0].group);
    }
    std::unique_ptr<GdkKeymapKey, decltype(&g_free)> free_keys(keys, g_free);
    gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(display)));
    return gtk_widget_event(widget, event);
}

} // namespace

bool press_key(GtkWidget* widget, guint keyval, GdkModifierType state) {
    return send(widget, GDK_KEY_PRESS, keyval, state);
}

void release_key(GtkWidget* widget, guint keyval, GdkModifierType state) {
    send(widget, GDK_KEY_RELEASE, keyval, state);
}

bool type_key(GtkWidget* widget, guint keyval, GdkModifierType state) {
    const bool handled = press_key(widget, keyval, state);
    release_key(widget, keyval, state);
    return handled;
}

void type_text(GtkWidget* widget, std::string_view text) {
    for (const char* p = text.data(); p < text.data() + text.size(); p = g_utf8_next_char(p)) {
        const gunichar c = g_utf8_get_char(p);
        guint keyval = gdk_unicode_to_keyval(c);
        if (c == '\n') keyval = GDK_KEY_Return;
        if (c == '\t') keyval = GDK_KEY_Tab;
        type_key(widget, keyval);
    }
}
