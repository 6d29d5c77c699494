#include "tools/ui/documentation.h"

#include <glib/gi18n-lib.h>

#include "documents/path_helpers.h"
#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_page.h"
#include "shell/lines.h"
#include "shell/ui/report.h"
#include "tools/doc_gen.h"
#include "tools/symbol_scan.h"
#include "tools/ui/symbols.h"
#include "web/ui/web_views.h"

namespace {
// Larger files are refused: the documentation of each part is capped anyway.
constexpr std::size_t kDocGenMaxBytes = std::size_t{64} << 20;
} // namespace

void doc_gen_command() {
    DocumentPage* page = current_document();
    if (!page) return;
    indicator_busy();
    symbols_list_clear();
    if (!page->is_file) {
        log_icon_error();
        log_message(_("Sauvegardez le fichier avant..."), LM_ERROR);
        indicator_stop();
        return;
    }
    const std::string path = page->path;
    auto bytes = file_read_regular(to_filesystem_encoding(path).value_or(path), kDocGenMaxBytes);
    if (!bytes) {
        log_icon_error();
        log_message(_("Ne peut pas lire %s"), path, LM_ERROR);
        indicator_stop();
        return;
    }
    const GeneratedDocumentation doc =
        generate_documentation(scan_text_from_bytes(*bytes, page->encoding), path);
    bytes.reset();

    DocumentPage* out = new_document_command();
    if (!out) return;
    doc_insert_at_cursor(out, doc.html);
    for (const std::string& line : doc.log_lines)
        log_message(line, LM_NORMAL);
    mini_web_show_html(doc.html, documentation_base_uri(path));
}
