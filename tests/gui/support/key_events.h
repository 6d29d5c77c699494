// Real key events for GUI tests: a GdkEventKey made as the display would make
// it and delivered through the toolkit to a widget, so that the widget's own
// handlers and input method see it exactly as a typed key.
#pragma once

#include <gtk/gtk.h>
#include <string_view>

// Press and release of `keyval` with `state` (GDK_SHIFT_MASK, ...) on `widget`,
// which must be realized. Returns whether the press was handled.
bool type_key(GtkWidget* widget, guint keyval, GdkModifierType state = GdkModifierType(0));
// Only the press, or only the release.
bool press_key(GtkWidget* widget, guint keyval, GdkModifierType state = GdkModifierType(0));
void release_key(GtkWidget* widget, guint keyval, GdkModifierType state = GdkModifierType(0));
// Each character of `text` typed as its key (ASCII and Latin-1 letters).
void type_text(GtkWidget* widget, std::string_view text);
