#include "tools/ui/links.h"

#include <glib.h>

#include <memory>
#include <string>
#include <vector>

#include "documents/charset_detect.h"
#include "documents/file_open_rules.h"
#include "documents/path_helpers.h"
#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_page.h"
#include "documents/ui/open.h"
#include "shell/gobj.h"
#include "shell/lines.h"
#include "shell/settings.h"
#include "shell/ui/menu_builders.h"
#include "shell/ui/report.h"
#include "tools/html_scan.h"

namespace {

void on_link_item(GtkMenuItem* item, gpointer) {
    open_or_switch(menu_item_name(item), false);
}

void fill_links_menu(const std::vector<std::string>& paths) {
    GtkWidget* menu = dynamic_menu_replace(DynamicMenu::links);
    if (!menu) return;
    for (const std::string& path : paths)
        menu_add_item(path, menu, on_link_item);
}

bool saved_on_disk(const DocumentPage& page) {
    return page.is_file && g_file_test(page.path.c_str(), G_FILE_TEST_IS_REGULAR);
}

// Counts the scans: one made since a scan in the background started wins.
unsigned& open_scan_generation() {
    static unsigned generation = 0;
    return generation;
}

void scan(DocumentPage& page, HtmlScanKind kind) {
    ++open_scan_generation();
    fill_links_menu(html_links_menu(page.path, doc_get_text(doc_buffer(&page)), kind));
}

} // namespace

void scan_links(DocumentPage& page) {
    scan(page, HtmlScanKind::links);
}

namespace {

// A file larger than this is not scanned as it opens.
constexpr std::size_t kOpenScanMaxBytes = std::size_t{64} << 20;

// The scan of a page just opened reads its file again beside the window: the
// text is the file's, and only the newest scan fills the menu.
struct OpenScan {
    std::string file; // in the file system's encoding
    std::string path; // the page's, UTF-8
    std::string encoding;
    CharsetDetectFlags flags;
    unsigned generation = 0;
};

void open_scan_in_thread(GTask* task, gpointer, gpointer data, GCancellable*) {
    const auto& scan = *static_cast<const OpenScan*>(data);
    auto items = std::make_unique<std::vector<std::string>>();
    if (auto bytes = file_read_regular(scan.file, kOpenScanMaxBytes))
        if (auto decoded = decode_file_bytes(*bytes, scan.encoding, scan.flags)) {
            bytes.reset();
            *items = html_links_menu(scan.path, decoded->text, HtmlScanKind::links);
        }
    g_task_return_pointer(task, hand_to_glib(std::move(items)),
                          destroy_handed<std::vector<std::string>>);
}

void on_open_scanned(GObject*, GAsyncResult* result, gpointer) {
    GTask* task = G_TASK(result);
    const auto& scan = *static_cast<const OpenScan*>(g_task_get_task_data(task));
    std::unique_ptr<std::vector<std::string>> items(
        static_cast<std::vector<std::string>*>(g_task_propagate_pointer(task, nullptr)));
    if (items && !items->empty() && scan.generation == open_scan_generation())
        fill_links_menu(*items);
}

} // namespace

void scan_links_after_open(DocumentPage& page) {
    if (settings().scan_for_links_on_doc_open != 1) return;
    auto file = to_filesystem_encoding(page.path);
    if (!page.is_file || !file) {
        scan_links(page);
        return;
    }
    auto scan = std::make_unique<OpenScan>();
    scan->file = std::move(*file);
    scan->path = page.path;
    scan->encoding = page.encoding;
    scan->flags = charset_detect_flags(settings());
    scan->generation = ++open_scan_generation();
    GTask* task = g_task_new(nullptr, nullptr, on_open_scanned, nullptr);
    g_task_set_task_data(task, hand_to_glib(std::move(scan)), destroy_handed<OpenScan>);
    g_task_run_in_thread(task, open_scan_in_thread);
    g_object_unref(task);
}

void link_scan_command() {
    if (DocumentPage* page = current_document()) scan_links(*page);
}

void local_link_scan_command() {
    DocumentPage* page = current_document();
    if (!page) return;
    scan_links(*page);
    log_icon_info();
    log_message(html_link_scan_advice(), LM_ADVICE);
    status_message(kHtmlLinkScanStatus);
}

void image_scan_command() {
    DocumentPage* page = current_document();
    if (!page || !saved_on_disk(*page)) return;
    scan(*page, HtmlScanKind::images);
    log_icon_help();
    log_message(html_image_scan_advice(), LM_ADVICE);
    status_message(kHtmlImageScanStatus);
}

void page_weight_command() {
    DocumentPage* page = current_document();
    if (!page || !saved_on_disk(*page)) return;
    const auto weight = html_page_weight(doc_get_text(doc_buffer(page)), page->path);
    if (!weight) return;
    fill_links_menu({page->path});
    const PageWeightLines lines = html_page_weight_lines(*weight, page->path);
    for (const std::string& line : lines.files) {
        log_icon_help();
        log_message(line, LM_NORMAL);
    }
    log_message(lines.page, LM_NORMAL);
    log_message(lines.total, LM_NORMAL);
}
