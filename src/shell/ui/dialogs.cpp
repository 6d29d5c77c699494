#include "shell/ui/dialogs.h"

#include <glib/gi18n-lib.h>

#include "shell/message_format.h"

namespace {
// Stock ids: the toolkit draws their translated label and icon.
const char* const kStockOk = "gtk-ok";
const char* const kStockCancel = "gtk-cancel";

GtkWidget* new_dialog(GtkWindow* parent, const std::string& text, bool with_cancel) {
    GtkWidget* dialog = gtk_dialog_new_with_buttons(
        nullptr, parent,
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), kStockOk,
        GTK_RESPONSE_OK, nullptr);
    if (with_cancel) gtk_dialog_add_button(GTK_DIALOG(dialog), kStockCancel, GTK_RESPONSE_CANCEL);
    GtkWidget* label = gtk_label_new(valid_utf8(text).c_str());
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), label, TRUE, TRUE,
                       0);
    gtk_widget_show(label);
    return dialog;
}

gint run_and_destroy(GtkWidget* dialog) {
    gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    return response;
}
} // namespace

void show_message(GtkWindow* parent, std::string_view message, std::optional<long> argument) {
    const std::string text =
        argument ? format_with_number(message, *argument) : std::string(message);
    run_and_destroy(new_dialog(parent, text, false));
}

bool ask_confirmation(GtkWindow* parent, std::string_view message,
                      std::optional<std::string_view> argument) {
    const std::string text = argument ? format_with_text(message, *argument) : std::string(message);
    return run_and_destroy(new_dialog(parent, text, true)) == GTK_RESPONSE_OK;
}

SaveChoice ask_save_changes(GtkWindow* parent, std::string_view message,
                            std::string_view argument) {
    GtkWidget* dialog = new_dialog(parent, format_with_text(message, argument), true);
    gtk_dialog_add_button(GTK_DIALOG(dialog), _("Fermer sans sauvegarder"), GTK_RESPONSE_REJECT);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    switch (run_and_destroy(dialog)) {
    case GTK_RESPONSE_OK:
        return SaveChoice::save;
    case GTK_RESPONSE_REJECT:
        return SaveChoice::discard;
    default:
        return SaveChoice::cancel;
    }
}
