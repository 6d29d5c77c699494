// Addresses of the offline product pages, from arbitrary bytes: a page may link
// anywhere, and nothing it names may lead outside the www folder.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "web/product_pages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view uri(reinterpret_cast<const char*>(data), size);
    constexpr std::string_view www = "/srv/www";
    for (auto candidate : {std::string(uri), std::string("orvane://") + std::string(uri)}) {
        (void)is_product_page_address(candidate);
        auto file = product_page_file(candidate, www);
        if (!file) continue;
        const std::string& path = file->path;
        if (path.compare(0, www.size() + 1, "/srv/www/") != 0) __builtin_trap();
        if (path.find('\0') != std::string::npos) __builtin_trap();
        if (path.find("/../") != std::string::npos || path.ends_with("/..")) __builtin_trap();
        if (file->mime.empty()) __builtin_trap();
    }
    return 0;
}
