#include "tools/ui/symbols.h"

#include <glib/gi18n-lib.h>
#include <glib/gstdio.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "documents/path_helpers.h"
#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "shell/data_paths.h"
#include "shell/gobj.h"
#include "shell/lines.h"
#include "shell/ui/command_entry.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"
#include "tools/symbol_scan.h"

namespace {

// A saved file larger than this is not scanned: the list keeps its first row.
constexpr std::size_t kScanMaxBytes = std::size_t{64} << 20;
// How long one main-loop turn may spend on the list, or on one page's marks.
constexpr gint64 kSliceMicroseconds = 4000;
// Slices run beside the window's redraws, ahead of the views' own background
// layout work, so a large list is in within a few frames without holding any up.
constexpr int kSlicePriority = G_PRIORITY_HIGH_IDLE + 20;

enum Column { kPictureColumn, kTextColumn, kLineColumn, kColumnCount };

// A reference that clears itself when its object goes; get() hands out the
// object without keeping a reference.
class WeakObject {
  public:
    WeakObject() { g_weak_ref_init(&ref_, nullptr); }
    ~WeakObject() { g_weak_ref_clear(&ref_); }
    WeakObject(const WeakObject&) = delete;
    WeakObject& operator=(const WeakObject&) = delete;
    void set(gpointer object) { g_weak_ref_set(&ref_, object); }
    gpointer get() {
        gpointer object = g_weak_ref_get(&ref_);
        if (object) g_object_unref(object);
        return object;
    }

  private:
    GWeakRef ref_;
};

// Time-boxed work on the main loop: the step runs once at once, then from idle
// slices until it says it is done.
class Slices {
  public:
    using Step = bool (*)(void* data, gint64 until); // true when done
    Slices(Step step, void* data) : step_(step), data_(data) {}
    ~Slices() { stop(); }
    Slices(const Slices&) = delete;
    Slices& operator=(const Slices&) = delete;
    void start() {
        stop();
        if (!step_(data_, deadline()))
            source_ = g_idle_add_full(kSlicePriority, slice, this, nullptr);
    }
    void stop() {
        if (source_) g_source_remove(source_);
        source_ = 0;
    }
    bool running() const { return source_ != 0; }

  private:
    static gint64 deadline() { return g_get_monotonic_time() + kSliceMicroseconds; }
    static gboolean slice(gpointer self);
    Step step_;
    void* data_;
    guint source_ = 0;
};

void settle_indicator();

gboolean Slices::slice(gpointer self) {
    auto* s = static_cast<Slices*>(self);
    if (!s->step_(s->data_, deadline())) return G_SOURCE_CONTINUE;
    s->source_ = 0;
    settle_indicator();
    return G_SOURCE_REMOVE;
}

bool time_is_up(std::size_t done, gint64 until) {
    return done % 64 == 0 && g_get_monotonic_time() >= until;
}

bool fill_step(void*, gint64 until);

struct SymbolList {
    WeakObject view;
    GObjectPtr<GtkListStore> store;
    // The store's rows, and those it is to hold: shown[0..keep) are rows[0..keep)
    // already; the rest of shown goes, then the rest of rows comes.
    std::vector<SymbolRow> shown;
    std::vector<SymbolRow> rows;
    std::size_t keep = 0;
    Slices fill{fill_step, nullptr};
    // The page the rows belong to: the pointer counts only while that page's
    // buffer lives and a listed page still holds it.
    DocumentPage* page = nullptr;
    WeakObject page_buffer;
    // Each scan gets a number; the list takes rows from the latest only.
    unsigned generation = 0;
    int reading = 0;         // scans whose thread has not answered yet
    WeakObject busy_picture; // the indicator picture the latest scan put up
};

SymbolList& list() {
    static SymbolList l;
    return l;
}

int& pending_mark_jobs() {
    static int n = 0;
    return n;
}

// The four pictures, each read from its file the first time a row needs it.
GdkPixbuf* kind_picture(SymbolKind kind) {
    struct Picture {
        GObjectPtr<GdkPixbuf> pixbuf;
        bool loaded = false;
    };
    static std::array<Picture, 4> pictures;
    Picture& p = pictures.at(static_cast<std::size_t>(kind));
    if (!p.loaded) {
        p.loaded = true;
        p.pixbuf.reset(
            gdk_pixbuf_new_from_file(pixmap_path(symbol_kind_pixmap(kind)).c_str(), nullptr));
    }
    return p.pixbuf.get();
}

const SymbolRow kFirstRow{SymbolKind::suspect, {}, 0};

void append_row(GtkListStore* store, const SymbolRow& row) {
    const std::string line = row.line > 0 ? std::to_string(row.line) : std::string();
    gtk_list_store_insert_with_values(store, nullptr, -1, kPictureColumn, kind_picture(row.kind),
                                      kTextColumn, row.text.c_str(), kLineColumn,
                                      row.line > 0 ? line.c_str() : nullptr, -1);
}

// Long lists change a slice at a time, from their end: taking a long list off
// the view, or clearing it, would hold the window up for as long.
bool fill_step(void*, gint64 until) {
    SymbolList& l = list();
    GtkTreeModel* model = GTK_TREE_MODEL(l.store.get());
    std::size_t done = 0;
    while (l.shown.size() > l.keep) {
        GtkTreeIter iter;
        if (gtk_tree_model_iter_nth_child(model, &iter, nullptr,
                                          static_cast<gint>(l.shown.size() - 1)))
            gtk_list_store_remove(l.store.get(), &iter);
        l.shown.pop_back();
        if (time_is_up(++done, until)) return false;
    }
    while (l.shown.size() < l.rows.size()) {
        const SymbolRow& row = l.rows[l.shown.size()];
        append_row(l.store.get(), row);
        l.shown.push_back(row);
        l.keep = l.shown.size();
        if (time_is_up(++done, until)) return false;
    }
    return true;
}

// Makes the list show `rows`; the rows it shows of them already stay.
void show_rows(std::vector<SymbolRow> rows) {
    SymbolList& l = list();
    l.rows = std::move(rows);
    const std::size_t limit = std::min(l.keep, l.rows.size());
    std::size_t same = 0;
    while (same < limit && l.shown[same] == l.rows[same])
        ++same;
    l.keep = same;
    l.fill.start();
}

bool page_is_open(const DocumentPage* page, gpointer buffer) {
    for (int i = 0; i < document_count(); ++i)
        if (const DocumentPage* p = page_at_index(i); p == page && p->buffer.get() == buffer)
            return true;
    return false;
}

DocumentPage* scanned_page() {
    SymbolList& l = list();
    return page_is_open(l.page, l.page_buffer.get()) ? l.page : nullptr;
}

// The activity indicator goes back to "ok" once everything is in, unless
// something else has shown another state since.
void settle_indicator() {
    if (symbols_scan_pending()) return;
    auto* busy = static_cast<GtkWidget*>(list().busy_picture.get());
    if (busy && busy == indicator_widget()) indicator_ok();
}

// Suspect lines are marked per page, apart from the list: a scan of another
// page replaces the list but lets this page's marks finish.
constexpr const char* kMarkJobKey = "orvane-suspect-mark-job";

GtkTextTag* suspect_tag(GtkTextBuffer* buffer) {
    return gtk_text_tag_table_lookup(gtk_text_buffer_get_tag_table(buffer), "err2");
}

bool mark_step(void* job, gint64 until);

// Brings the page's marks in line with a scan: first a walk over the marked
// stretches of the buffer to learn which lines carry the mark, then only the
// differences are applied. A save that changes few lines thus changes few
// marks, and the view has few lines to lay out again.
struct MarkJob {
    GtkTextBuffer* buffer;
    std::vector<int> wanted; // 0-based lines to mark, ascending
    // The walk: where it goes on, and the lines it found marked whole or in part.
    int walk_offset = 0;
    bool walked = false;
    std::vector<int> whole, part;
    // The changes: a line to mark (true) or to clear (false).
    std::vector<std::pair<int, bool>> changes;
    std::size_t next_change = 0;
    bool finished = false;
    Slices slices{mark_step, this};
    MarkJob(GtkTextBuffer* b, const std::vector<int>& lines) : buffer(b) {
        wanted.reserve(lines.size());
        for (int line : lines)
            wanted.push_back(line - 1);
        ++pending_mark_jobs();
    }
    ~MarkJob() {
        if (!finished) --pending_mark_jobs();
    }
    MarkJob(const MarkJob&) = delete;
    MarkJob& operator=(const MarkJob&) = delete;
};

// Records the lines of the next marked stretch; false when there is none.
bool walk_stretch(MarkJob& job, GtkTextTag* tag) {
    GtkTextIter a;
    gtk_text_buffer_get_iter_at_offset(job.buffer, &a, job.walk_offset);
    if (!gtk_text_iter_has_tag(&a, tag) && !gtk_text_iter_forward_to_tag_toggle(&a, tag))
        return false;
    if (gtk_text_iter_is_end(&a)) return false;
    GtkTextIter b = a;
    gtk_text_iter_forward_to_tag_toggle(&b, tag);
    const int first = gtk_text_iter_get_line(&a);
    // A stretch ending at a line start, or at the buffer's end, covers its
    // last line through the line break.
    const bool ends_whole = gtk_text_iter_starts_line(&b) || gtk_text_iter_is_end(&b);
    int last = gtk_text_iter_get_line(&b);
    if (gtk_text_iter_starts_line(&b) && last > first) --last;
    for (int line = first; line <= last; ++line) {
        const bool whole =
            (line > first || gtk_text_iter_starts_line(&a)) && (line < last || ends_whole);
        (whole ? job.whole : job.part).push_back(line);
    }
    job.walk_offset = gtk_text_iter_get_offset(&b);
    return true;
}

// Marks each wanted line not marked whole yet, clears every other marked line.
void plan_changes(MarkJob& job, int line_count) {
    std::vector<int> marked;
    std::merge(job.whole.begin(), job.whole.end(), job.part.begin(), job.part.end(),
               std::back_inserter(marked));
    for (int line : job.wanted)
        // Lines past the page's end are lines the file has and the page has
        // not (changed on disk since): they are left out.
        if (line < line_count && !std::binary_search(job.whole.begin(), job.whole.end(), line))
            job.changes.push_back({line, true});
    for (int line : marked)
        if (!std::binary_search(job.wanted.begin(), job.wanted.end(), line))
            job.changes.push_back({line, false});
    job.whole = {};
    job.part = {};
}

// The whole line with its line break.
void tag_line(GtkTextBuffer* buffer, GtkTextTag* tag, int line, bool on) {
    if (line >= gtk_text_buffer_get_line_count(buffer)) return;
    GtkTextIter start, end;
    gtk_text_buffer_get_iter_at_line(buffer, &start, line);
    end = start;
    gtk_text_iter_forward_line(&end);
    if (on)
        gtk_text_buffer_apply_tag(buffer, tag, &start, &end);
    else
        gtk_text_buffer_remove_tag(buffer, tag, &start, &end);
}

bool mark_step(void* data, gint64 until) {
    auto& job = *static_cast<MarkJob*>(data);
    GtkTextTag* tag = suspect_tag(job.buffer);
    std::size_t steps = 0;
    if (tag && !job.walked) {
        while (walk_stretch(job, tag))
            if (time_is_up(++steps, until)) return false;
        job.walked = true;
        plan_changes(job, gtk_text_buffer_get_line_count(job.buffer));
    }
    while (tag && job.next_change < job.changes.size()) {
        const auto [line, on] = job.changes[job.next_change++];
        tag_line(job.buffer, tag, line, on);
        if (time_is_up(++steps, until)) return false;
    }
    job.finished = true;
    --pending_mark_jobs();
    return true;
}

// The buffer's job in progress, if any, gives way to the new one.
void start_marks(GtkTextBuffer* buffer, const std::vector<int>& lines) {
    auto owned = std::make_unique<MarkJob>(buffer, lines);
    MarkJob* job = owned.get();
    g_object_set_data_full(G_OBJECT(buffer), kMarkJobKey, hand_to_glib(std::move(owned)),
                           destroy_handed<MarkJob>);
    job->slices.start();
}

// Every scan of a page gets a number of its own, kept on the page's buffer:
// marks come only from the page's latest scan.
constexpr const char* kScanSerialKey = "orvane-symbol-scan-serial";

unsigned next_scan_serial(GtkTextBuffer* buffer) {
    const unsigned serial =
        GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(buffer), kScanSerialKey)) + 1;
    g_object_set_data(G_OBJECT(buffer), kScanSerialKey, GUINT_TO_POINTER(serial));
    return serial;
}

struct ScanRequest {
    std::string file;     // the name to read, in the file system's encoding
    std::string path;     // the page's path, whose extension says which rules apply
    std::string encoding; // the page's charset
    // Where the answer goes: the list while no newer scan started, and the
    // page while it is open and not scanned since.
    unsigned generation = 0;
    DocumentPage* page = nullptr;
    WeakObject buffer;
    unsigned serial = 0;
};

void apply_scan(ScanRequest& request, SymbolScan scan) {
    gpointer buffer = request.buffer.get();
    if (!buffer || !page_is_open(request.page, buffer)) return;
    if (GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(buffer), kScanSerialKey)) == request.serial)
        start_marks(GTK_TEXT_BUFFER(buffer), scan.marked_lines);
    if (request.generation == list().generation && list().store) show_rows(std::move(scan.rows));
}

void scan_in_thread(GTask* task, gpointer, gpointer data, GCancellable*) {
    const auto& request = *static_cast<const ScanRequest*>(data);
    auto scan = std::make_unique<SymbolScan>(symbol_scan({}, request.path));
    if (auto bytes = file_read_regular(request.file, kScanMaxBytes)) {
        const std::string text = scan_text_from_bytes(*bytes, request.encoding);
        bytes.reset();
        *scan = symbol_scan(text, request.path);
    }
    g_task_return_pointer(task, hand_to_glib(std::move(scan)), destroy_handed<SymbolScan>);
}

void on_scanned(GObject*, GAsyncResult* result, gpointer) {
    GTask* task = G_TASK(result);
    auto& request = *static_cast<ScanRequest*>(g_task_get_task_data(task));
    std::unique_ptr<SymbolScan> scan(
        static_cast<SymbolScan*>(g_task_propagate_pointer(task, nullptr)));
    --list().reading;
    if (scan) apply_scan(request, std::move(*scan));
    settle_indicator();
}

// A row's line number goes into the command entry, and the page the list was
// made from is shown with that line selected.
void jump_to_row(GtkTreeModel* model, GtkTreeIter* iter) {
    gchar* text = nullptr;
    gtk_tree_model_get(model, iter, kLineColumn, &text, -1);
    GCharPtr line_text(text);
    if (!line_text || !*line_text.get()) return;
    // A row of an older list, on its way out, says nothing about this page.
    GtkTreePath* path = gtk_tree_model_get_path(model, iter);
    const int row = gtk_tree_path_get_indices(path)[0];
    gtk_tree_path_free(path);
    if (row < 0 || static_cast<std::size_t>(row) >= list().keep) return;
    DocumentPage* page = scanned_page();
    if (!page) return;
    GtkWidget* entry = command_entry();
    if (!entry) return;
    gtk_entry_set_text(GTK_ENTRY(entry), line_text.get());
    const long line = std::strtol(command_entry_text().c_str(), nullptr, 10);
    if (GtkWidget* notebook = editor_notebook()) {
        const int index = index_of_page(page);
        if (gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)) != index)
            gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), index);
    }
    current_document();
    doc_goto_line(page, line);
}

void on_selection_changed(GtkTreeSelection* selection, gpointer) {
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    if (gtk_tree_selection_get_selected(selection, &model, &iter)) jump_to_row(model, &iter);
}

// Activating the selected row again (double click, Enter) jumps again.
void on_row_activated(GtkTreeView* view, GtkTreePath* path, GtkTreeViewColumn*, gpointer) {
    GtkTreeModel* model = gtk_tree_view_get_model(view);
    GtkTreeIter iter;
    if (model && gtk_tree_model_get_iter(model, &iter, path)) jump_to_row(model, &iter);
}

void on_scan_clicked(GtkButton*, gpointer) {
    scan_symbols_command();
}

void on_open_includes_clicked(GtkButton*, gpointer) {
    open_include_files_command();
}

std::string file_system_name(const std::string& utf8_path) {
    return to_filesystem_encoding(utf8_path).value_or(utf8_path);
}

bool is_regular_file(const std::string& name) {
    GStatBuf st{};
    return g_stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

void symbols_panel_build(GtkWidget* box) {
    SymbolList& l = list();
    if (!box || l.view.get()) return;
    GtkWidget* view = gtk_tree_view_new();
    gtk_widget_set_name(view, "symbols_view");
    l.view.set(view);
    l.page = nullptr;
    l.fill.stop();
    l.store.reset(gtk_list_store_new(kColumnCount, GDK_TYPE_PIXBUF, G_TYPE_STRING, G_TYPE_STRING));
    gtk_tree_view_set_model(GTK_TREE_VIEW(view), GTK_TREE_MODEL(l.store.get()));
    l.shown = {};
    l.rows = {};
    l.keep = 0;

    const char* title = _("Liste des include/fonctions     ");
    GtkTreeViewColumn* column = gtk_tree_view_column_new();
    gtk_tree_view_column_set_title(column, title);
    GtkCellRenderer* picture = gtk_cell_renderer_pixbuf_new();
    gtk_tree_view_column_pack_start(column, picture, FALSE);
    gtk_tree_view_column_add_attribute(column, picture, "pixbuf", kPictureColumn);
    GtkCellRenderer* text = gtk_cell_renderer_text_new();
    gtk_tree_view_column_pack_start(column, text, TRUE);
    gtk_tree_view_column_add_attribute(column, text, "text", kTextColumn);
    gtk_tree_view_append_column(GTK_TREE_VIEW(view), column);
    gtk_tree_view_append_column(GTK_TREE_VIEW(view), gtk_tree_view_column_new_with_attributes(
                                                         _("Ligne"), gtk_cell_renderer_text_new(),
                                                         "text", kLineColumn, nullptr));
    gtk_tree_view_set_grid_lines(GTK_TREE_VIEW(view), GTK_TREE_VIEW_GRID_LINES_BOTH);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_tree_view_set_rules_hint(GTK_TREE_VIEW(view), TRUE);
    G_GNUC_END_IGNORE_DEPRECATIONS
    GCharPtr name(g_strchomp(g_strdup(title)));
    atk_object_set_name(gtk_widget_get_accessible(view), name.get());

    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(view));
    gtk_tree_selection_set_mode(selection, GTK_SELECTION_SINGLE);
    g_signal_connect(selection, "changed", G_CALLBACK(on_selection_changed), nullptr);
    g_signal_connect(view, "row-activated", G_CALLBACK(on_row_activated), nullptr);

    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_container_add(GTK_CONTAINER(scrolled), view);
    gtk_box_pack_start(GTK_BOX(box), scrolled, TRUE, TRUE, 0);

    GtkWidget* scan = gtk_button_new_with_label(_("Débuter le scan"));
    gtk_widget_set_name(scan, "symbols_scan");
    g_signal_connect(scan, "clicked", G_CALLBACK(on_scan_clicked), nullptr);
    gtk_box_pack_start(GTK_BOX(box), scan, FALSE, FALSE, 0);
    GtkWidget* includes = gtk_button_new_with_label(_("Ouvrir les fichiers include"));
    gtk_widget_set_name(includes, "symbols_open_includes");
    g_signal_connect(includes, "clicked", G_CALLBACK(on_open_includes_clicked), nullptr);
    gtk_box_pack_start(GTK_BOX(box), includes, FALSE, FALSE, 0);
}

void scan_symbols(DocumentPage& page) {
    SymbolList& l = list();
    if (!l.view.get()) return;
    ++l.generation;
    indicator_busy();
    l.busy_picture.set(indicator_widget());
    // Rows of another page give way to the first row (and meanwhile no longer
    // jump); this page's rows stay until the new ones are known.
    if (scanned_page() != &page) show_rows({kFirstRow});
    l.page = &page;
    l.page_buffer.set(page.buffer.get());

    auto request = std::make_unique<ScanRequest>();
    request->file = file_system_name(page.path);
    request->path = page.path;
    request->encoding = page.encoding;
    request->generation = l.generation;
    request->page = &page;
    request->buffer.set(page.buffer.get());
    request->serial = next_scan_serial(GTK_TEXT_BUFFER(page.buffer.get()));
    if (!page.is_file) {
        apply_scan(*request, symbol_scan({}, page.path));
        settle_indicator();
        return;
    }
    ++l.reading;
    GTask* task = g_task_new(nullptr, nullptr, on_scanned, nullptr);
    g_task_set_task_data(task, hand_to_glib(std::move(request)), destroy_handed<ScanRequest>);
    g_task_run_in_thread(task, scan_in_thread);
    g_object_unref(task);
}

void scan_symbols_command() {
    if (DocumentPage* page = current_document()) scan_symbols(*page);
}

void open_include_files_command() {
    DocumentPage* page = current_document();
    if (!page || !page->is_file) return;
    auto bytes = file_read_regular(file_system_name(page->path), kScanMaxBytes);
    if (!bytes) return;
    // Every name is taken before the first open changes the current document.
    const auto paths = include_file_paths(scan_text_from_bytes(*bytes, page->encoding), page->path);
    bytes.reset();
    for (const std::string& path : paths) {
        const std::string name = file_system_name(path);
        // Only regular files: a FIFO or a device named here must not be opened.
        if (is_regular_file(name)) open_or_switch(name);
    }
}

void symbols_list_clear() {
    SymbolList& l = list();
    ++l.generation;
    l.page = nullptr;
    l.page_buffer.set(nullptr);
    // Not even the first row stays.
    if (l.store) show_rows({});
}

GtkTreeModel* symbols_model() {
    return GTK_TREE_MODEL(list().store.get());
}

GtkTreeView* symbols_view() {
    return static_cast<GtkTreeView*>(list().view.get());
}

bool symbols_scan_pending() {
    const SymbolList& l = list();
    return l.reading > 0 || l.fill.running() || pending_mark_jobs() > 0;
}
