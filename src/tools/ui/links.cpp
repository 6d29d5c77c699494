#include "tools/ui/links.h"

#include <glib.h>

#include <string>
#include <vector>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_page.h"
#include "documents/ui/open.h"
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

void scan(DocumentPage& page, HtmlScanKind kind) {
    fill_links_menu(html_links_menu(page.path, doc_get_text(doc_buffer(&page)), kind));
}

} // namespace

void scan_links(DocumentPage& page) {
    scan(page, HtmlScanKind::links);
}

void scan_links_after_open(DocumentPage& page) {
    if (settings().scan_for_links_on_doc_open == 1) scan_links(page);
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
