// Page text from any file: stripping tags never grows the text, the file scan
// only lists absolute paths once each, and the table builder stays within its
// limits whatever the command entry holds.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "shell/lines.h"
#include "tools/html_scan.h"
#include "tools/html_tools.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (html_strip_tags(text).size() > text.size()) __builtin_trap();

    for (HtmlScanKind kind : {HtmlScanKind::links, HtmlScanKind::images}) {
        const auto files = html_scan_files(text, "/", kind);
        const std::set<std::string> unique(files.begin(), files.end());
        if (unique.size() != files.size()) __builtin_trap();
        for (const std::string& f : files)
            if (f.empty() || f.front() != '/') __builtin_trap();
    }

    const HtmlTable table = html_table(text.substr(0, 64));
    if (table.text.size() > 32 + kHtmlTableMaxRows * (12 + kHtmlTableMaxCells * 10))
        __builtin_trap();

    const std::string link = text_to_link(text);
    if (link.find(std::string(text)) == std::string::npos) __builtin_trap();
    return 0;
}
