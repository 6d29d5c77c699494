// The two small modal dialogs: a message with OK, and an OK/Cancel question.
#pragma once

#include <gtk/gtk.h>
#include <optional>
#include <string>
#include <string_view>

// The message is formatted with `argument` ("%d") when one is given, else literal.
void show_message(GtkWindow* parent, std::string_view message,
                  std::optional<long> argument = std::nullopt);
// True exactly when the user pressed OK; the message is formatted with `argument`
// ("%s") when one is given.
bool ask_confirmation(GtkWindow* parent, std::string_view message,
                      std::optional<std::string_view> argument = std::nullopt);
