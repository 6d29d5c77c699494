#include "gui/support/dialog_answer.h"

#include <chrono>
#include <memory>
#include <set>

namespace {

struct PendingAnswer {
    bool close = false;
    GtkResponseType response = GTK_RESPONSE_NONE;
    std::chrono::steady_clock::time_point deadline;
    std::set<GtkWidget*> already_there;
};

SeenDialog& seen() {
    static SeenDialog s;
    return s;
}

std::set<GtkWidget*> visible_dialogs() {
    std::set<GtkWidget*> out;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l; l = l->next) {
        auto* w = static_cast<GtkWidget*>(l->data);
        if (GTK_IS_DIALOG(w) && gtk_widget_get_visible(w)) out.insert(w);
    }
    g_list_free(all);
    return out;
}

void collect_labels(GtkWidget* widget, gpointer data) {
    auto* s = static_cast<SeenDialog*>(data);
    if (GTK_IS_LABEL(widget)) {
        if (!s->text.empty()) s->text += '\n';
        s->text += gtk_label_get_text(GTK_LABEL(widget));
        if (!gtk_label_get_line_wrap(GTK_LABEL(widget))) s->label_wraps = false;
    } else if (GTK_IS_CONTAINER(widget) && !GTK_IS_BUTTON(widget) && !GTK_IS_BUTTON_BOX(widget)) {
        // The buttons sit inside the content area's box; their labels are not the message.
        gtk_container_forall(GTK_CONTAINER(widget), collect_labels, data);
    }
}

void record(GtkDialog* dialog) {
    SeenDialog s;
    s.found = true;
    s.label_wraps = true;
    gtk_container_forall(GTK_CONTAINER(gtk_dialog_get_content_area(dialog)), collect_labels, &s);
    for (int response :
         {GTK_RESPONSE_OK, GTK_RESPONSE_CANCEL, GTK_RESPONSE_CLOSE, GTK_RESPONSE_YES,
          GTK_RESPONSE_NO, GTK_RESPONSE_APPLY, GTK_RESPONSE_ACCEPT, GTK_RESPONSE_REJECT}) {
        GtkWidget* button = gtk_dialog_get_widget_for_response(dialog, response);
        if (button && GTK_IS_BUTTON(button)) {
            const char* label = gtk_button_get_label(GTK_BUTTON(button));
            s.buttons.emplace_back(response, label ? label : "");
        }
    }
    s.modal = gtk_window_get_modal(GTK_WINDOW(dialog));
    s.destroy_with_parent = gtk_window_get_destroy_with_parent(GTK_WINDOW(dialog));
    s.transient_for = gtk_window_get_transient_for(GTK_WINDOW(dialog));
    seen() = std::move(s);
}

void send_delete(GtkWidget* dialog) {
    GdkEvent* event = gdk_event_new(GDK_DELETE);
    event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(dialog)));
    event->any.send_event = TRUE;
    gtk_main_do_event(event);
    gdk_event_free(event);
}

gboolean try_answer(gpointer data) {
    auto* pending = static_cast<PendingAnswer*>(data);
    for (GtkWidget* dialog : visible_dialogs()) {
        if (pending->already_there.count(dialog)) continue;
        // A delete event needs the dialog's window on the screen.
        if (pending->close && !gtk_widget_get_mapped(dialog)) continue;
        record(GTK_DIALOG(dialog));
        if (pending->close)
            send_delete(dialog);
        else
            gtk_dialog_response(GTK_DIALOG(dialog), pending->response);
        return G_SOURCE_REMOVE;
    }
    return std::chrono::steady_clock::now() < pending->deadline ? G_SOURCE_CONTINUE
                                                                : G_SOURCE_REMOVE;
}

void arm(bool close, GtkResponseType response, int timeout_ms) {
    auto pending = std::make_unique<PendingAnswer>(PendingAnswer{
        close, response, std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms),
        visible_dialogs()});
    seen() = SeenDialog{};
    // The source owns the answer from here on and frees it when removed.
    g_timeout_add_full(G_PRIORITY_DEFAULT, 20, try_answer, pending.release(), [](gpointer p) {
        std::unique_ptr<PendingAnswer> owned(static_cast<PendingAnswer*>(p));
    });
}

} // namespace

void answer_next_dialog(GtkResponseType response, int timeout_ms) {
    arm(false, response, timeout_ms);
}

void close_next_dialog(int timeout_ms) {
    arm(true, GTK_RESPONSE_NONE, timeout_ms);
}

const SeenDialog& last_dialog() {
    return seen();
}

std::string last_dialog_text() {
    return seen().text;
}
