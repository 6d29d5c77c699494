#include "tools/ui/todo_page.h"

// The table's texts go through gettext's default domain, like the model's.
#include <glib/gi18n.h>

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/config_dir.h"
#include "shell/gobj.h"
#include "shell/message_format.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/window_parts.h"
#include "tools/todo_model.h"

namespace {

// A refresh examines this many files per step and takes steps for at most this
// long per turn of the main loop, so that drawing and input go on while a large
// or slow folder loads.
constexpr std::size_t kFilesPerStep = 16;
constexpr gint64 kSliceMicroseconds = 8000;
// One refresh may report many broken files; one dialog tells the first ones.
constexpr std::size_t kMessagesShown = 10;

enum Button { add_button, edit_button, remove_button, button_count };

struct TodoPage {
    TodoProfile profile;
    std::unique_ptr<TodoTable> table;
    GtkWidget* box = nullptr;
    GtkWidget* view = nullptr;
    GtkListStore* store = nullptr; // owned by the view
    GtkWidget* buttons[button_count] = {};
    gulong handlers[button_count] = {};
    gulong row_activated = 0;
    int blocked = 0;
    guint idle = 0;
    std::vector<std::string> messages; // waiting for the end of the refresh
    bool dir_failed = false;           // told once until the folder opens again
};

std::unique_ptr<TodoPage>& page_slot() {
    static std::unique_ptr<TodoPage> page;
    return page;
}

TodoPage* the_page() {
    return page_slot().get();
}

std::string shown_path(const std::string& path) {
    GCharPtr name(g_filename_display_name(path.c_str()));
    return name.get();
}

// A modal message dialog over the main window; the text is never a format.
GtkWidget* message_dialog(GtkMessageType type, GtkButtonsType buttons, const std::string& text) {
    GtkWidget* dialog = gtk_message_dialog_new(
        main_window(),
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), type,
        buttons, nullptr);
    g_object_set(dialog, "text", valid_utf8(text).c_str(), nullptr);
    return dialog;
}

// Error messages run no loop of their own, so a refresh in progress never waits on one.
void show_error(const std::string& text) {
    GtkWidget* dialog = message_dialog(GTK_MESSAGE_ERROR, GTK_BUTTONS_CLOSE, text);
    g_signal_connect(dialog, "response", G_CALLBACK(gtk_widget_destroy), nullptr);
    gtk_widget_show(dialog);
}

void show_messages(TodoPage& page) {
    if (page.messages.empty()) return;
    std::string text;
    for (std::size_t i = 0; i < page.messages.size() && i < kMessagesShown; ++i)
        text += page.messages[i];
    if (page.messages.size() > kMessagesShown)
        text += format_with_number(_("(et %ld autres messages)\n"),
                                   static_cast<long>(page.messages.size() - kMessagesShown));
    page.messages.clear();
    show_error(text);
}

void block_buttons(TodoPage& page) {
    if (page.blocked++ > 0) return;
    for (int i = 0; i < button_count; ++i)
        g_signal_handler_block(page.buttons[i], page.handlers[i]);
    g_signal_handler_block(page.view, page.row_activated);
}

void unblock_buttons(TodoPage& page) {
    if (page.blocked == 0 || --page.blocked > 0) return;
    for (int i = 0; i < button_count; ++i)
        g_signal_handler_unblock(page.buttons[i], page.handlers[i]);
    g_signal_handler_unblock(page.view, page.row_activated);
}

// The store mirrors the table's rows: column 0 the file name, then the profile's columns.
void set_row(TodoPage& page, GtkTreeIter* iter, std::optional<int> position, const TodoRow& row) {
    const std::size_t n = page.profile.columns.size() + 1;
    std::vector<GValue> values(n, G_VALUE_INIT);
    std::vector<gint> columns(n);
    for (std::size_t i = 0; i < n; ++i) {
        columns[i] = static_cast<gint>(i);
        g_value_init(&values[i], G_TYPE_STRING);
        const std::string text =
            i == 0 ? row.file_name : todo_cell_value(row.cells, page.profile.columns[i - 1].name);
        g_value_set_string(&values[i], text.c_str());
    }
    if (position)
        gtk_list_store_insert_with_valuesv(page.store, iter, *position, columns.data(),
                                           values.data(), static_cast<gint>(n));
    else
        gtk_list_store_set_valuesv(page.store, iter, columns.data(), values.data(),
                                   static_cast<gint>(n));
    for (GValue& value : values)
        g_value_unset(&value);
}

void apply(TodoPage& page, TodoRefreshReport& report) {
    GtkTreeModel* model = GTK_TREE_MODEL(page.store);
    for (const TodoChange& change : report.changes) {
        GtkTreeIter iter;
        const int index = static_cast<int>(change.index);
        if (change.kind == TodoChange::Kind::added) {
            set_row(page, &iter, index, change.row);
        } else if (gtk_tree_model_iter_nth_child(model, &iter, nullptr, index)) {
            if (change.kind == TodoChange::Kind::updated)
                set_row(page, &iter, std::nullopt, change.row);
            else
                gtk_list_store_remove(page.store, &iter);
        }
    }
    for (std::string& message : report.messages)
        page.messages.push_back(std::move(message));
}

gboolean on_refresh_idle(gpointer data) {
    auto* page = static_cast<TodoPage*>(data);
    const gint64 start = g_get_monotonic_time();
    bool more = true;
    while (more && g_get_monotonic_time() - start < kSliceMicroseconds) {
        TodoRefreshReport report;
        more = page->table->refresh_step(kFilesPerStep, report);
        apply(*page, report);
    }
    if (more) return G_SOURCE_CONTINUE;
    page->idle = 0;
    show_messages(*page);
    return G_SOURCE_REMOVE;
}

void start_refresh(TodoPage& page) {
    TodoRefreshReport report;
    const bool listed = page.table->begin_refresh(report);
    if (!listed) {
        if (page.idle) g_source_remove(page.idle);
        page.idle = 0;
        if (page.dir_failed) report.messages.clear();
        page.dir_failed = true;
        apply(page, report);
        show_messages(page);
        return;
    }
    page.dir_failed = false;
    apply(page, report);
    if (!page.idle)
        page.idle = g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, on_refresh_idle, &page, nullptr);
}

std::optional<std::string> selected_file(TodoPage& page, GtkTreeIter* iter) {
    GtkTreeModel* model = nullptr;
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(page.view));
    if (!gtk_tree_selection_get_selected(selection, &model, iter)) return std::nullopt;
    gchar* name = nullptr;
    gtk_tree_model_get(model, iter, 0, &name, -1);
    GCharPtr owned(name);
    return std::string(name ? name : "");
}

// The size, time and inode behind the values the user is shown, when the table's
// values are those of the file as it is now; none when the file changed or went
// since the table read it.
std::optional<TodoChangeTuple> current_tuple(const TodoPage& page, const std::string& name) {
    if (page.table->file_state(name) != TodoFileState::unchanged) return std::nullopt;
    return todo_change_tuple(page.table->dir() + name);
}

// Before writing over or deleting a row file: true when it is still the file the
// user saw, or when the user agrees to go on although it is not.
bool still_ours_or_confirmed(GtkWindow* parent, const TodoPage& page, const std::string& name,
                             const std::optional<TodoChangeTuple>& seen, bool deleting) {
    const std::string path = page.table->dir() + name;
    const std::optional<TodoChangeTuple> now = todo_change_tuple(path);
    if (now && seen && *now == *seen) return true;
    if (!now && deleting) return true; // already gone: nothing is lost
    const char* question =
        !now ? _("Le fichier %s a été supprimé par un autre programme.\nLe recréer avec ces "
                 "valeurs ?")
        : deleting ? _("Le fichier %s a été modifié par un autre programme depuis sa lecture.\n"
                       "Le supprimer quand même ?")
                   : _("Le fichier %s a été modifié par un autre programme depuis sa lecture.\n"
                       "L'écraser avec ces valeurs ?");
    return ask_confirmation(parent, question, shown_path(path));
}

// The row dialog: add when `file_name` is empty, else edit that file.
struct RowDialog {
    std::string file_name;
    std::optional<TodoChangeTuple> seen;
    std::vector<GtkWidget*> entries;
};

void on_row_dialog_destroy(GtkWidget*, gpointer) {
    if (TodoPage* page = the_page()) unblock_buttons(*page);
}

void on_row_dialog_response(GtkDialog* dialog, gint response, gpointer data) {
    auto* row = static_cast<RowDialog*>(data);
    TodoPage* page = the_page();
    if (response != GTK_RESPONSE_OK || !page) {
        gtk_widget_destroy(GTK_WIDGET(dialog));
        return;
    }
    std::vector<std::string> values;
    for (GtkWidget* entry : row->entries)
        values.emplace_back(gtk_entry_get_text(GTK_ENTRY(entry)));

    TodoWriteResult result;
    if (row->file_name.empty()) {
        const char* user = g_get_user_name();
        result = page->table->add_row(page->profile, values, user ? user : "", std::time(nullptr));
    } else {
        if (!still_ours_or_confirmed(GTK_WINDOW(dialog), *page, row->file_name, row->seen, false))
            return; // the dialog stays open with the user's values
        page = the_page();
        if (!page) return;
        result = page->table->save_row(page->profile, row->file_name, values);
    }
    if (!result.ok) {
        show_error(result.message);
        return;
    }
    gtk_widget_destroy(GTK_WIDGET(dialog));
    start_refresh(*page);
}

void open_row_dialog(TodoPage& page, const char* title, std::unique_ptr<RowDialog> owned,
                     const std::vector<std::string>& values) {
    RowDialog* row = owned.get();
    GtkWidget* dialog =
        gtk_dialog_new_with_buttons(title, main_window(), GTK_DIALOG_DESTROY_WITH_PARENT, "gtk-ok",
                                    GTK_RESPONSE_OK, "gtk-cancel", GTK_RESPONSE_CANCEL, nullptr);
    gtk_widget_set_name(dialog, "todo_row_dialog");
    gtk_window_set_default_size(GTK_WINDOW(dialog), 550, 100);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 4);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
    gtk_container_set_border_width(GTK_CONTAINER(grid), 6);
    for (std::size_t i = 0; i < page.profile.columns.size(); ++i) {
        const TodoColumn& column = page.profile.columns[i];
        GtkWidget* label = gtk_label_new(column.name.c_str());
        gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
        GtkWidget* entry = gtk_entry_new();
        gtk_widget_set_hexpand(entry, TRUE);
        gtk_entry_set_text(GTK_ENTRY(entry), i < values.size() ? values[i].c_str() : "");
        gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
        gtk_label_set_mnemonic_widget(GTK_LABEL(label), entry);
        atk_object_set_name(gtk_widget_get_accessible(entry), column.name.c_str());
        if (!column.values.empty()) {
            // The profile's proposed values, offered as the user types.
            GObjectPtr<GtkListStore> proposed(gtk_list_store_new(1, G_TYPE_STRING));
            for (const std::string& value : column.values)
                gtk_list_store_insert_with_values(proposed.get(), nullptr, -1, 0, value.c_str(),
                                                  -1);
            GObjectPtr<GtkEntryCompletion> completion(gtk_entry_completion_new());
            gtk_entry_completion_set_model(completion.get(), GTK_TREE_MODEL(proposed.get()));
            gtk_entry_completion_set_text_column(completion.get(), 0);
            gtk_entry_set_completion(GTK_ENTRY(entry), completion.get());
        }
        const gint line = static_cast<gint>(i);
        gtk_grid_attach(GTK_GRID(grid), label, 0, line, 1, 1);
        gtk_grid_attach(GTK_GRID(grid), entry, 1, line, 1, 1);
        row->entries.push_back(entry);
    }
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), grid, TRUE, TRUE,
                       0);
    // The dialog owns its record from here on.
    g_object_set_data_full(G_OBJECT(dialog), "todo-row", owned.release(), [](gpointer p) {
        std::unique_ptr<RowDialog> freed(static_cast<RowDialog*>(p));
    });
    // Escape and the window manager's close answer with a delete response: cancel.
    g_signal_connect(dialog, "response", G_CALLBACK(on_row_dialog_response), row);
    g_signal_connect(dialog, "destroy", G_CALLBACK(on_row_dialog_destroy), nullptr);
    gtk_widget_show_all(dialog);
}

void on_add(GtkButton*, gpointer data) {
    auto& page = *static_cast<TodoPage*>(data);
    block_buttons(page);
    std::vector<std::string> defaults;
    for (const TodoColumn& column : page.profile.columns)
        defaults.push_back(column.default_value);
    open_row_dialog(page, _("Ajouter une nouvelle ligne"), std::make_unique<RowDialog>(), defaults);
}

void on_edit(GtkButton*, gpointer data) {
    auto& page = *static_cast<TodoPage*>(data);
    GtkTreeIter iter;
    std::optional<std::string> name = selected_file(page, &iter);
    if (!name) return;
    block_buttons(page);
    std::vector<std::string> values;
    for (std::size_t i = 1; i <= page.profile.columns.size(); ++i) {
        gchar* value = nullptr;
        gtk_tree_model_get(GTK_TREE_MODEL(page.store), &iter, static_cast<gint>(i), &value, -1);
        GCharPtr owned(value);
        values.emplace_back(value ? value : "");
    }
    auto row = std::make_unique<RowDialog>();
    row->file_name = *name;
    row->seen = current_tuple(page, *name);
    open_row_dialog(page, _("Editer une ligne"), std::move(row), values);
}

void on_row_activated(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*, gpointer data) {
    on_edit(nullptr, data);
}

bool confirm_delete() {
    GtkWidget* dialog = message_dialog(GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE,
                                       _("Voulez vous vraiment supprimer cette ligne?"));
    gtk_window_set_title(GTK_WINDOW(dialog), _("Please confirm"));
    gtk_dialog_add_buttons(GTK_DIALOG(dialog), "gtk-yes", GTK_RESPONSE_YES, "gtk-no",
                           GTK_RESPONSE_NO, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_NO);
    const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    return response == GTK_RESPONSE_YES;
}

void on_remove(GtkButton*, gpointer data) {
    auto* page = static_cast<TodoPage*>(data);
    block_buttons(*page);
    GtkTreeIter iter;
    if (std::optional<std::string> name = selected_file(*page, &iter)) {
        const std::optional<TodoChangeTuple> seen = current_tuple(*page, *name);
        // The questions run the main loop; the page may go with the window meanwhile.
        bool go = confirm_delete() && the_page() == page &&
                  still_ours_or_confirmed(main_window(), *page, *name, seen, true);
        if (the_page() != page) return;
        if (go) {
            TodoWriteResult result = page->table->delete_row(*name);
            if (!result.ok) show_error(result.message);
            start_refresh(*page);
        }
    }
    unblock_buttons(*page);
}

void on_page_map(GtkWidget*, gpointer data) {
    start_refresh(*static_cast<TodoPage*>(data));
}

void on_page_destroy(GtkWidget*, gpointer data) {
    auto* page = static_cast<TodoPage*>(data);
    if (page->idle) g_source_remove(page->idle);
    page->idle = 0;
    if (page_slot().get() == page) page_slot().reset();
}

GtkWidget* picture_button(const char* stock, const char* name, const char* tip) {
    GtkWidget* button = gtk_button_new();
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_button_set_image(GTK_BUTTON(button), gtk_image_new_from_stock(stock, GTK_ICON_SIZE_BUTTON));
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_widget_set_name(button, name);
    gtk_widget_set_tooltip_text(button, tip);
    atk_object_set_name(gtk_widget_get_accessible(button), tip);
    return button;
}

} // namespace

void todo_page_build(GtkWidget* box) {
    if (TodoPage* old = the_page()) {
        // A page of an earlier window: it lets go of its widgets and idle source.
        g_signal_handlers_disconnect_by_data(old->box, old);
        if (old->idle) g_source_remove(old->idle);
        page_slot().reset();
    }
    if (!box) return;
    auto page = std::make_unique<TodoPage>();
    const ConfigPaths& paths = config_paths();
    page->profile = todo_load_profile(paths.todo);
    page->messages = page->profile.messages;
    if (std::optional<std::string> failed = todo_ensure_dir(paths.todo_dir))
        page->messages.push_back(*failed);
    page->table = std::make_unique<TodoTable>(paths.todo_dir);
    page->box = box;

    const std::size_t n = page->profile.columns.size() + 1;
    std::vector<GType> types(n, G_TYPE_STRING);
    page->store = gtk_list_store_newv(static_cast<gint>(n), types.data());
    page->view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(page->store));
    g_object_unref(page->store);
    gtk_widget_set_name(page->view, "todo_view");
    atk_object_set_name(gtk_widget_get_accessible(page->view), _("TODO liste"));
    GtkTreeView* view = GTK_TREE_VIEW(page->view);
    for (std::size_t i = 1; i < n; ++i) {
        GtkTreeViewColumn* column = gtk_tree_view_column_new_with_attributes(
            page->profile.columns[i - 1].name.c_str(), gtk_cell_renderer_text_new(), "text",
            static_cast<gint>(i), nullptr);
        gtk_tree_view_column_set_resizable(column, TRUE);
        gtk_tree_view_append_column(view, column);
    }
    if (n > 1) gtk_tree_view_set_search_column(view, 1);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_tree_view_set_rules_hint(view, TRUE);
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_tree_view_set_grid_lines(view, GTK_TREE_VIEW_GRID_LINES_BOTH);
    gtk_tree_selection_set_mode(gtk_tree_view_get_selection(view), GTK_SELECTION_SINGLE);

    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_ETCHED_OUT);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_container_add(GTK_CONTAINER(scrolled), page->view);
    gtk_box_pack_start(GTK_BOX(box), scrolled, TRUE, TRUE, 0);

    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
    gtk_box_set_homogeneous(GTK_BOX(row), TRUE);
    struct Made {
        const char* stock;
        const char* name;
        const char* tip;
        GCallback handler;
    };
    const Made made[button_count] = {
        {"gtk-add", "todo_add", _("Ajouter une ligne"), G_CALLBACK(on_add)},
        {"gtk-edit", "todo_edit", _("Editer la ligne choisie"), G_CALLBACK(on_edit)},
        {"gtk-remove", "todo_remove", _("Supprimer la ligne choisie"), G_CALLBACK(on_remove)},
    };
    for (int i = 0; i < button_count; ++i) {
        page->buttons[i] = picture_button(made[i].stock, made[i].name, made[i].tip);
        page->handlers[i] =
            g_signal_connect(page->buttons[i], "clicked", made[i].handler, page.get());
        gtk_box_pack_start(GTK_BOX(row), page->buttons[i], TRUE, TRUE, 0);
    }
    page->row_activated =
        g_signal_connect(page->view, "row-activated", G_CALLBACK(on_row_activated), page.get());
    gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 0);

    // Shown means mapped: the notebook switched to the page, or its window appeared.
    g_signal_connect(box, "map", G_CALLBACK(on_page_map), page.get());
    g_signal_connect(box, "destroy", G_CALLBACK(on_page_destroy), page.get());
    gtk_widget_show_all(box);
    page_slot() = std::move(page);
}

void todo_page_refresh() {
    if (TodoPage* page = the_page()) start_refresh(*page);
}
