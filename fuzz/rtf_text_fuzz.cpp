// RTF extraction from arbitrary bytes: it ends, stays within the input, and
// what it returns is UTF-8 without NUL, never longer than the bytes allow.
#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "documents/rtf_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const char* charset : {"CP1251", "ISO-8859-1", "UTF-8"}) {
        auto text = rtf_extract_text(bytes, charset);
        if (!text) continue;
        if (!g_utf8_validate(text->data(), static_cast<gssize>(text->size()), nullptr))
            __builtin_trap();
        // One byte in at most gives one character of at most three UTF-8 bytes.
        if (text->size() > 3 * size) __builtin_trap();
    }
    return 0;
}
