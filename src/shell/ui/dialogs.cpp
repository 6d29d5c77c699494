#include "shell/ui/dialogs.h"

// Placeholders: the dialogs are built in their own change.
void show_message(GtkWindow*, std::string_view, std::optional<long>) {}
bool ask_confirmation(GtkWindow*, std::string_view, std::optional<std::string_view>) {
    return false;
}
