// The product's own pages (home, version, manual, bug report, about) are shipped
// with the program and served offline through the "orvane" URI scheme; this
// module holds their addresses and the rule that turns an address into a file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

inline constexpr const char* kProductScheme = "orvane";

// Addresses of the product's pages, with the version the program carries.
std::string product_home_page();       // orvane://main.php?version=1.6.4
std::string product_version_page();    // orvane://version.php?version=1.6.4
std::string product_manual_page();     // orvane://DOC/doc.html
std::string product_bug_report_page(); // orvane://bug_rapport.php?clef=1.6.4
std::string product_about_page();      // orvane://about.html

// Outside services shown in the MyAdmin panels. The addresses carry no trailing
// slash: callers append their own path, query or fragment.
inline constexpr const char* kSearchEngineAddress = "https://duckduckgo.com";
inline constexpr const char* kTranslationAddress = "https://translate.google.com";
std::string search_engine_home_page(); // kSearchEngineAddress + "/"
std::string translation_home_page();   // kTranslationAddress + "/?hl=fr&tab=wT"

// True when uri is an address of the product's own (offline) pages.
bool is_product_page_address(std::string_view uri);

struct ProductPageFile {
    std::string path; // file to serve, inside the www folder
    std::string mime; // content type to answer with
};

// Resolves an address of the product scheme to a file under www_dir (no trailing
// slash needed). The query and fragment do not take part in the lookup; escapes
// are decoded first. A ".php" page is served from the ".html" file of the same
// name, since the pages are static. Refused (nullopt): another scheme, an empty
// or absolute path, a ".." segment, an escaped "/" or NUL, malformed escapes.
std::optional<ProductPageFile> product_page_file(std::string_view uri, std::string_view www_dir);

// Content type chosen from a file name's suffix (case-insensitive);
// "application/octet-stream" when unknown.
std::string product_page_mime(std::string_view file_name);
