// Names and addresses that come from web servers and pages: a download's
// suggested name must never lead out of its folder, and an encoded query
// value must hold nothing that ends it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <glib.h>

#include "web/download_rules.h"
#include "web/web_addresses.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::string name = download_file_name(text);
    if (name.empty() || name.front() == '.') __builtin_trap();
    if (name.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos) __builtin_trap();
    auto target = download_destination(std::string("/nonexistent-folder"), text);
    if (target.path != "/nonexistent-folder/" + name) __builtin_trap();

    const std::string encoded = percent_encode(text);
    for (char c : encoded)
        if (!(g_ascii_isalnum(c) || c == '%' || c == '-' || c == '.' || c == '_' || c == '~'))
            __builtin_trap();

    (void)picture_buttons_shown(text);
    (void)picture_address_name(text);
    return 0;
}
