// The files a page refers to (links and pictures) and the page's weight. Paths
// written in the page are resolved against the page's own folder, never against
// the program's working directory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class HtmlScanKind {
    links, // href="…" values
    images // src="…" values
};

// The existing regular files named by the page's href or src values, each once,
// in page order. Attribute names in any case, values in double or single quotes;
// empty values, "?query" and "#fragment" parts, and addresses with a scheme other
// than file:// are left out; %-escapes are decoded. Relative values are resolved
// against `folder` and skipped when `folder` is not an absolute path.
std::vector<std::string> html_scan_files(std::string_view text, std::string_view folder,
                                         HtmlScanKind kind);

// The "Liens" menu after a scan: the document's own path first, then the scanned
// files of its folder other than itself.
std::vector<std::string> html_links_menu(std::string_view document_path, std::string_view text,
                                         HtmlScanKind kind);

struct PageWeightFile {
    std::string path;
    std::uint64_t size = 0;
};
struct PageWeight {
    std::vector<PageWeightFile> files; // the pictures, each once, in page order
    std::uint64_t page_size = 0;       // the document's file on disk
    std::uint64_t total = 0;           // the page and its pictures
};

// None when the document's file is not a regular file.
std::optional<PageWeight> html_page_weight(std::string_view text, std::string_view document_path);

// The log lines of a weight: one "%s = %d Kb" per picture (help-picture lines),
// then the page's line and "Total weight for %s is %d Kb" (translated).
struct PageWeightLines {
    std::vector<std::string> files;
    std::string page;
    std::string total;
};
PageWeightLines html_page_weight_lines(const PageWeight& weight, std::string_view document_path);

// The texts the scans report with.
std::string html_link_scan_advice();  // "Maintenant, regardez dans le menu Navigation->Liens."
std::string html_image_scan_advice(); // the same without the full stop
inline constexpr const char* kHtmlLinkScanStatus = "Scan links HTML [OK]";
inline constexpr const char* kHtmlImageScanStatus = "Scan links [OK]";
