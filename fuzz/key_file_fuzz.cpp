// Key files and the settings read from them, from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shell/key_file.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto table = parse_key_text(text);
    Settings s = settings_from_table(table, "/home/x");
    Lines written = settings_write_lines(s);
    (void)lines_lookup_int(text_to_lines(text), "last_prefs_tab", 0);
    return written.empty() ? 1 : 0;
}
