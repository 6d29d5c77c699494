// The two small modal dialogs: a message with OK, and an OK/Cancel question.
// Each is built, run and destroyed within the call.
#pragma once

#include <gtk/gtk.h>
#include <optional>
#include <string>
#include <string_view>

// The message is formatted with `argument` (its one "%d", "%i" or "%ld") when one
// is given, else shown literally.
void show_message(GtkWindow* parent, std::string_view message,
                  std::optional<long> argument = std::nullopt);
// True exactly when the user pressed OK; closing the window counts as Cancel.
// The message is formatted with `argument` (its one "%s") when one is given.
bool ask_confirmation(GtkWindow* parent, std::string_view message,
                      std::optional<std::string_view> argument = std::nullopt);

// The unsaved-changes question: OK saves, "Fermer sans sauvegarder" lets the
// changes go, Cancel (or closing the window) keeps them. The message is
// formatted with `argument` (its one "%s").
enum class SaveChoice { save, discard, cancel };
SaveChoice ask_save_changes(GtkWindow* parent, std::string_view message,
                            std::string_view argument);
