#include "remote/ui/remote_pages.h"

#include <glib/gi18n-lib.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "remote/remote_fields.h"
#include "remote/remote_history.h"
#include "remote/remote_mount.h"
#include "shell/config_dir.h"
#include "shell/gobj.h"
#include "shell/message_format.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"
#include "terminal/ui/terminal_panel.h"
#include "web/ui/web_views.h"

namespace {

// ---------------------------------------------------------------------------
// Reports

void show_report(const RemoteReport& report) {
    // Each entry goes on top of the log: the last line first, so that they read
    // in order, each under its picture.
    for (auto line = report.lines.rbegin(); line != report.lines.rend(); ++line) {
        if (line->kind == LM_ERROR)
            log_icon_error();
        else if (line->kind == LM_ADVICE)
            log_icon_help();
        else
            log_icon_info();
        log_message(line->format, line->argument, line->kind);
    }
    if (!report.status.empty()) status_message(report.status);
    if (!report.notification.empty()) notify_user(report.notification);
    switch (report.indicator) {
    case RemoteIndicator::Unchanged:
        break;
    case RemoteIndicator::Ok:
        indicator_ok();
        break;
    case RemoteIndicator::Net:
        indicator_net();
        break;
    case RemoteIndicator::Stop:
        indicator_stop();
        break;
    }
}

// Keeps `*slot` pointing at `widget` while it lives, null afterwards.
void track(GtkWidget*& slot, GtkWidget* widget) {
    if (slot) g_object_remove_weak_pointer(G_OBJECT(slot), reinterpret_cast<gpointer*>(&slot));
    slot = widget;
    if (slot) g_object_add_weak_pointer(G_OBJECT(slot), reinterpret_cast<gpointer*>(&slot));
}

void set_accessible_name(GtkWidget* widget, const char* name) {
    atk_object_set_name(gtk_widget_get_accessible(widget), name);
}

// ---------------------------------------------------------------------------
// History lists: a tree whose only root row names the list and whose children
// are the lines of a file. The root is told by its depth, never by its text.

enum HistoryColumn { col_label, col_host, col_user, col_third, col_count };

struct HistoryPage {
    RemoteKind kind;
    GtkWidget* view = nullptr;
    gulong changed = 0;
};

HistoryPage& history_page(RemoteKind kind) {
    static HistoryPage sftp{RemoteKind::Sftp};
    static HistoryPage ftp{RemoteKind::Ftp};
    return kind == RemoteKind::Ftp ? ftp : sftp;
}

std::string history_path(RemoteKind kind) {
    return kind == RemoteKind::Ftp ? config_paths().ftp : config_paths().sftp;
}

// A store of one visible column (and, for the server lists, the fields of
// each line), its root row first.
GtkTreeStore* list_store_new(const char* root_text, int columns) {
    GtkTreeStore* store = nullptr;
    if (columns == col_count)
        store = gtk_tree_store_new(col_count, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING,
                                   G_TYPE_STRING);
    else
        store = gtk_tree_store_new(1, G_TYPE_STRING);
    GtkTreeIter root;
    gtk_tree_store_insert_with_values(store, &root, nullptr, -1, col_label, root_text, -1);
    return store;
}

GtkTreeStore* history_store_new(RemoteKind kind) {
    const bool ftp = kind == RemoteKind::Ftp;
    GtkTreeStore* store = list_store_new(ftp ? _("Liste FTP                              ")
                                             : _("Liste SFTP                             "),
                                         col_count);
    GtkTreeIter root;
    gtk_tree_model_get_iter_first(GTK_TREE_MODEL(store), &root);
    const auto text = read_history_file(history_path(kind));
    if (!text) return store;
    for (const std::string& line : history_lines(*text)) {
        const HistoryRow row = parse_history_line(line);
        const std::string label = valid_utf8(ftp ? ftp_row_label(row) : sftp_row_label(row));
        GtkTreeIter child;
        gtk_tree_store_insert_with_values(store, &child, &root, -1, col_label, label.c_str(),
                                          col_host, row.host.c_str(), col_user, row.user.c_str(),
                                          col_third, row.third.c_str(), -1);
    }
    return store;
}

void view_set_store(GtkWidget* view, GtkTreeStore* store) {
    gtk_tree_view_set_model(GTK_TREE_VIEW(view), GTK_TREE_MODEL(store));
    g_object_unref(store);
    gtk_tree_view_expand_all(GTK_TREE_VIEW(view));
}

void history_refresh(RemoteKind kind) {
    HistoryPage& page = history_page(kind);
    if (!page.view) return;
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(page.view));
    g_signal_handler_block(selection, page.changed);
    view_set_store(page.view, history_store_new(kind));
    g_signal_handler_unblock(selection, page.changed);
}

// Unselects without mounting, so that the same row can be chosen again.
void history_unselect(RemoteKind kind) {
    HistoryPage& page = history_page(kind);
    if (!page.view) return;
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(page.view));
    g_signal_handler_block(selection, page.changed);
    gtk_tree_selection_unselect_all(selection);
    g_signal_handler_unblock(selection, page.changed);
}

GtkWidget* list_view_new(const char* name, const char* title, const char* accessible) {
    GtkWidget* view = gtk_tree_view_new();
    gtk_widget_set_name(view, name);
    GtkCellRenderer* renderer = gtk_cell_renderer_text_new();
    gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(view), -1, title, renderer, "text",
                                                col_label, nullptr);
    gtk_tree_view_set_enable_tree_lines(GTK_TREE_VIEW(view), TRUE);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_tree_view_set_rules_hint(GTK_TREE_VIEW(view), TRUE);
    G_GNUC_END_IGNORE_DEPRECATIONS
    set_accessible_name(view, accessible);
    return view;
}

// ---------------------------------------------------------------------------
// Mounting

// The ssh session beside an SFTP mount; a port goes into an ssh address, the
// only form that carries one in a single destination word.
void open_ssh_tab(const std::string& host, const std::string& user) {
    const auto address = parse_host_field(host);
    if (!address) return;
    if (address->port.empty())
        terminal_new_ssh_tab(address->name, user);
    else
        terminal_new_ssh_tab("ssh://" + user + "@" + host_for_url(*address) + ":" + address->port,
                             "");
}

void mount_finished(const MountRequest& request, const MountOutcome& outcome) {
    show_report(outcome.report);
    if (!outcome.ok) {
        // A history row that failed can be chosen again once the cause is fixed.
        if (request.from_history) history_unselect(request.kind);
        return;
    }
    file_panel_set_folder(outcome.folder);
    if (request.kind == RemoteKind::Sftp) open_ssh_tab(request.host, request.user);
    if (!request.from_history) history_refresh(request.kind);
}

void start_mount(MountRequest request) {
    if (!request.from_history) request.history_file = history_path(request.kind);
    indicator_busy();
    mount_remote_async(
        request, [request](const MountOutcome& outcome) { mount_finished(request, outcome); });
}

// ---------------------------------------------------------------------------
// Mount dialogs

struct DialogField {
    const char* label;
    const char* initial;
};

struct MountDialog {
    RemoteKind kind;
    GtkWidget* window = nullptr;
    std::array<GtkWidget*, 3> entries{};
};

MountDialog& mount_dialog(RemoteKind kind) {
    static MountDialog sftp{RemoteKind::Sftp};
    static MountDialog ftp{RemoteKind::Ftp};
    return kind == RemoteKind::Ftp ? ftp : sftp;
}

std::string entry_text(GtkWidget* entry) {
    return entry ? gtk_entry_get_text(GTK_ENTRY(entry)) : "";
}

void dialog_close(MountDialog& dialog) {
    indicator_ok();
    if (dialog.window) gtk_widget_destroy(dialog.window);
}

void on_dialog_cancel(GtkButton*, gpointer data) {
    dialog_close(*static_cast<MountDialog*>(data));
}

void on_dialog_apply(GtkButton*, gpointer data) {
    auto& dialog = *static_cast<MountDialog*>(data);
    MountRequest request;
    request.kind = dialog.kind;
    request.host = entry_text(dialog.entries[0]);
    request.user = entry_text(dialog.entries[1]);
    if (dialog.kind == RemoteKind::Ftp)
        request.password = entry_text(dialog.entries[2]);
    else
        request.path = entry_text(dialog.entries[2]);
    dialog_close(dialog);
    start_mount(std::move(request));
}

gboolean on_dialog_key(GtkWidget*, GdkEventKey* event, gpointer data) {
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    dialog_close(*static_cast<MountDialog*>(data));
    return TRUE;
}

GtkWidget* dialog_button(const char* stock, GCallback handler, MountDialog& dialog) {
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GtkWidget* button = gtk_button_new_from_stock(stock);
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_widget_set_name(button, stock);
    gtk_button_set_relief(GTK_BUTTON(button), GTK_RELIEF_NONE);
    g_signal_connect(button, "clicked", handler, &dialog);
    return button;
}

// Opens the dialog of `kind` (or brings the open one forward) with `values`
// in its fields where given; the first empty field takes the focus.
void mount_dialog_open(RemoteKind kind, const std::array<std::string, 3>* values = nullptr) {
    MountDialog& dialog = mount_dialog(kind);
    const bool ftp = kind == RemoteKind::Ftp;
    if (!dialog.window) {
        const std::array<DialogField, 3> fields =
            ftp ? std::array<DialogField, 3>{{{_("Nom du serveur ou ip : "), ""},
                                              {_("Utilisateur : "), ""},
                                              {_("Password : "), ""}}}
                : std::array<DialogField, 3>{{{_("Nom du serveur ou ip : "), ""},
                                              {_("Utilisateur : "), "root"},
                                              {_("Chemin sur le serveur : "), "/"}}};
        GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        track(dialog.window, window);
        gtk_widget_set_name(window, ftp ? "ftp_mount_dialog" : "sftp_mount_dialog");
        gtk_window_set_title(GTK_WINDOW(window),
                             ftp ? _("Monter un serveur en FTP") : _("Monter un serveur en SFTP"));
        gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
        gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
        if (GtkWindow* parent = main_window()) {
            gtk_window_set_transient_for(GTK_WINDOW(window), parent);
            gtk_window_set_destroy_with_parent(GTK_WINDOW(window), TRUE);
        }
        g_signal_connect(window, "key-press-event", G_CALLBACK(on_dialog_key), &dialog);

        GtkWidget* frame = gtk_frame_new(nullptr);
        gtk_container_set_border_width(GTK_CONTAINER(frame), 4);
        gtk_frame_set_label_widget(GTK_FRAME(frame),
                                   gtk_label_new(ftp ? _("Montage FTP") : _("Montage SFTP")));
        gtk_container_add(GTK_CONTAINER(window), frame);
        GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
        gtk_container_set_border_width(GTK_CONTAINER(box), 4);
        gtk_container_add(GTK_CONTAINER(frame), box);

        GtkWidget* grid = gtk_grid_new();
        gtk_grid_set_row_spacing(GTK_GRID(grid), 4);
        gtk_grid_set_column_spacing(GTK_GRID(grid), 4);
        for (int i = 0; i < 3; ++i) {
            GtkWidget* label = gtk_label_new(fields[i].label);
            gtk_widget_set_halign(label, GTK_ALIGN_START);
            GtkWidget* entry = gtk_entry_new();
            gtk_widget_set_name(entry, i == 0   ? "host"
                                       : i == 1 ? "user"
                                       : ftp    ? "password"
                                                : "path");
            gtk_entry_set_text(GTK_ENTRY(entry), fields[i].initial);
            gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
            gtk_label_set_mnemonic_widget(GTK_LABEL(label), entry);
            std::string name = fields[i].label;
            while (!name.empty() && (name.back() == ' ' || name.back() == ':'))
                name.pop_back();
            set_accessible_name(entry, name.c_str());
            gtk_grid_attach(GTK_GRID(grid), label, 0, i, 1, 1);
            gtk_grid_attach(GTK_GRID(grid), entry, 1, i, 1, 1);
            track(dialog.entries[i], entry);
        }
        gtk_box_pack_start(GTK_BOX(box), grid, FALSE, FALSE, 0);
        gtk_box_pack_start(GTK_BOX(box), gtk_separator_new(GTK_ORIENTATION_HORIZONTAL), FALSE,
                           FALSE, 0);
        GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
        gtk_box_pack_start(GTK_BOX(row),
                           dialog_button("gtk-cancel", G_CALLBACK(on_dialog_cancel), dialog), FALSE,
                           FALSE, 0);
        GtkWidget* apply = dialog_button("gtk-apply", G_CALLBACK(on_dialog_apply), dialog);
        gtk_box_pack_end(GTK_BOX(row), apply, FALSE, FALSE, 0);
        gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 0);
        gtk_widget_set_can_default(apply, TRUE);
        gtk_window_set_default(GTK_WINDOW(window), apply);
        gtk_widget_show_all(window);
        indicator_stop();
    }
    if (values)
        for (int i = 0; i < 3; ++i)
            if (dialog.entries[i])
                gtk_entry_set_text(GTK_ENTRY(dialog.entries[i]), (*values)[i].c_str());
    for (GtkWidget* entry : dialog.entries)
        if (entry && (!values || entry_text(entry).empty())) {
            gtk_widget_grab_focus(entry);
            break;
        }
    gtk_window_present(GTK_WINDOW(dialog.window));
}

// ---------------------------------------------------------------------------
// Choosing a history row

// The selected row when it is one of the list's rows, not the root row that
// names the list.
bool selected_list_row(GtkTreeSelection* selection, GtkTreeModel*& model, GtkTreeIter& iter) {
    if (!gtk_tree_selection_get_selected(selection, &model, &iter)) return false;
    GtkTreePath* path = gtk_tree_model_get_path(model, &iter);
    const int depth = gtk_tree_path_get_depth(path);
    gtk_tree_path_free(path);
    return depth >= 2;
}

void on_history_changed(GtkTreeSelection* selection, gpointer data) {
    const auto kind = static_cast<RemoteKind>(GPOINTER_TO_INT(data));
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    if (!selected_list_row(selection, model, iter)) return;
    gchar* host = nullptr;
    gchar* user = nullptr;
    gchar* third = nullptr;
    gtk_tree_model_get(model, &iter, col_host, &host, col_user, &user, col_third, &third, -1);
    MountRequest request;
    request.kind = kind;
    request.host = host ? host : "";
    request.user = user ? user : "";
    const std::string third_field = third ? third : "";
    g_free(host);
    g_free(user);
    g_free(third);
    request.from_history = true;
    if (kind == RemoteKind::Ftp) {
        // Lines written now keep no password: the dialog asks for it.
        if (third_field.empty()) {
            history_unselect(kind);
            const std::array<std::string, 3> values{request.host, request.user, ""};
            mount_dialog_open(kind, &values);
            return;
        }
        request.password = third_field;
    } else {
        request.path = third_field;
    }
    start_mount(std::move(request));
}

void on_clear_history(GtkButton*, gpointer data) {
    const auto kind = static_cast<RemoteKind>(GPOINTER_TO_INT(data));
    std::string why;
    if (!clear_history_file(history_path(kind), &why)) {
        log_icon_error();
        log_message(_("Ne peut pas écrire %s"), history_path(kind) + " (" + why + ")", LM_ERROR);
    }
    history_refresh(kind);
}

void on_mount_button(GtkButton*, gpointer data) {
    mount_dialog_open(static_cast<RemoteKind>(GPOINTER_TO_INT(data)));
}

void on_unmount_button(GtkButton*, gpointer) {
    remote_unmount_command();
}

void page_build(RemoteKind kind, GtkWidget* box) {
    if (!box) return;
    const bool ftp = kind == RemoteKind::Ftp;
    HistoryPage& page = history_page(kind);
    gpointer data = GINT_TO_POINTER(static_cast<int>(kind));

    GtkWidget* view = list_view_new(ftp ? "ftp_history" : "sftp_history",
                                    ftp ? "\nHistorique FTP\n" : _("\nHistorique SFTP\n"),
                                    ftp ? _("Historique FTP") : _("Historique SFTP"));
    track(page.view, view);
    view_set_store(view, history_store_new(kind));
    page.changed = g_signal_connect(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), "changed",
                                    G_CALLBACK(on_history_changed), data);
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_container_add(GTK_CONTAINER(scrolled), view);
    gtk_box_pack_start(GTK_BOX(box), scrolled, TRUE, TRUE, 0);

    struct Button {
        const char* name;
        const char* label;
        GCallback handler;
    };
    const Button buttons[] = {
        {"clear_history", _("Effacer historique"), G_CALLBACK(on_clear_history)},
        {"mount_server", _("Monter un serveur"), G_CALLBACK(on_mount_button)},
        {"unmount_volume", _("Démonter un volume"), G_CALLBACK(on_unmount_button)},
    };
    for (const Button& b : buttons) {
        GtkWidget* button = gtk_button_new_with_label(b.label);
        gtk_widget_set_name(button, b.name);
        g_signal_connect(button, "clicked", b.handler, data);
        gtk_box_pack_start(GTK_BOX(box), button, FALSE, FALSE, 0);
    }
    gtk_widget_show_all(box);
}

// ---------------------------------------------------------------------------
// Unmounting

// A busy folder is tried once more after this long: reads that were under way
// when the unmount began (the file panel's, a thumbnailer's) are over by then.
constexpr guint kBusyRetryMs = 700;

struct UnmountRun {
    bool retried = false;
    std::string panel_was;   // where the file panel stood inside a mount, if it did
    std::string panel_mount; // that mount's folder
};
using UnmountRunPtr = std::shared_ptr<UnmountRun>;

bool inside(const std::string& path, const std::string& folder) {
    return path == folder || g_str_has_prefix(path.c_str(), (folder + "/").c_str());
}

void unmount_pass(const UnmountRunPtr& run);

gboolean on_unmount_retry(gpointer data) {
    unmount_pass(*static_cast<UnmountRunPtr*>(data));
    return G_SOURCE_REMOVE;
}

void unmount_pass(const UnmountRunPtr& run) {
    unmount_all_async([run](const UnmountOutcome& outcome) {
        bool busy = false;
        for (const FolderUnmount& f : outcome.folders)
            busy = busy || (!f.done && f.busy);
        if (busy && !run->retried) {
            run->retried = true;
            auto held = std::make_unique<UnmountRunPtr>(run);
            g_timeout_add_full(
                G_PRIORITY_DEFAULT, kBusyRetryMs, on_unmount_retry, held.release(),
                [](gpointer p) { std::unique_ptr<UnmountRunPtr>(static_cast<UnmountRunPtr*>(p)); });
            return;
        }
        show_report(outcome.report);
        // A folder that stayed mounted gets the file panel back.
        const auto& mounted = remote_state().mounted;
        if (!run->panel_mount.empty() &&
            std::find(mounted.begin(), mounted.end(), run->panel_mount) != mounted.end())
            file_panel_set_folder(run->panel_was);
    });
}

// ---------------------------------------------------------------------------
// The MyAdmin address list

GtkWidget*& myadmin_view() {
    static GtkWidget* view = nullptr;
    return view;
}

GtkTreeStore* myadmin_store_new() {
    GtkTreeStore* store = list_store_new(_("Liste MyAdmin HTTP                    "), 1);
    GtkTreeIter root;
    gtk_tree_model_get_iter_first(GTK_TREE_MODEL(store), &root);
    const auto text = read_history_file(config_paths().myadmin);
    if (!text) return store;
    for (const std::string& line : history_lines(*text)) {
        GtkTreeIter child;
        gtk_tree_store_insert_with_values(store, &child, &root, -1, col_label,
                                          valid_utf8(line).c_str(), -1);
    }
    return store;
}

void on_myadmin_changed(GtkTreeSelection* selection, gpointer) {
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    if (!selected_list_row(selection, model, iter)) return;
    gchar* address = nullptr;
    gtk_tree_model_get(model, &iter, col_label, &address, -1);
    if (address) web_panel_load(WebPanel::myadmin_web, address);
    g_free(address);
}

} // namespace

void remote_pages_build() {
    page_build(RemoteKind::Sftp, panel_page(PanelPage::sftp));
    page_build(RemoteKind::Ftp, panel_page(PanelPage::ftp));
}

void sftp_mount_dialog_command() {
    mount_dialog_open(RemoteKind::Sftp);
}

void ftp_mount_dialog_command() {
    mount_dialog_open(RemoteKind::Ftp);
}

void remote_unmount_command() {
    history_unselect(RemoteKind::Sftp);
    history_unselect(RemoteKind::Ftp);
    auto run = std::make_shared<UnmountRun>();
    if (!remote_state().mounted.empty()) {
        indicator_busy();
        // The file panel leaves the mounts first: its own reading of a folder
        // would hold the mount busy.
        if (const auto shown = file_panel_folder())
            for (const std::string& folder : remote_state().mounted)
                if (inside(*shown, folder)) {
                    run->panel_was = *shown;
                    run->panel_mount = folder;
                    GCharPtr parent(g_path_get_dirname(folder.c_str()));
                    file_panel_set_folder(parent.get());
                    break;
                }
    }
    unmount_pass(run);
}

void myadmin_list_build(GtkWidget* slot) {
    if (!slot) return;
    GtkWidget* view =
        list_view_new("myadmin_list", _("\n[ALT+N] pour configurer \n[ALT+H] pour recharger\n"),
                      _("Liste MyAdmin HTTP"));
    track(myadmin_view(), view);
    view_set_store(view, myadmin_store_new());
    g_signal_connect(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), "changed",
                     G_CALLBACK(on_myadmin_changed), nullptr);
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_container_add(GTK_CONTAINER(scrolled), view);
    gtk_box_pack_start(GTK_BOX(slot), scrolled, TRUE, TRUE, 0);
    gtk_widget_show_all(slot);
}

void myadmin_list_reload_command() {
    GtkWidget* view = myadmin_view();
    if (!view) return;
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(view));
    g_signal_handlers_block_by_func(selection, reinterpret_cast<gpointer>(on_myadmin_changed),
                                    nullptr);
    view_set_store(view, myadmin_store_new());
    g_signal_handlers_unblock_by_func(selection, reinterpret_cast<gpointer>(on_myadmin_changed),
                                      nullptr);
}
