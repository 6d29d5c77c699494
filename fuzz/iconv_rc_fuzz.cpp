// The charset names marked with '+' in iconv_rc, from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shell/lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t total = 0;
    for (const std::string& item : text_to_marked_items(text, "//")) total += item.size() + 1;
    // Each item is a piece of the text less at least its '+'.
    if (total > text.size()) __builtin_trap();
    (void)text_to_marked_items(text, "");
    (void)text_to_marked_items(text, "\n");
    return 0;
}
