#include "documents/autoreplace.h"

namespace {
std::optional<KeyTable>& table() {
    static std::optional<KeyTable> t;
    return t;
}
} // namespace

const std::optional<KeyTable>& autoreplace_table() { return table(); }
void autoreplace_load(const std::string& path) { table() = load_key_file(path); }
void autoreplace_clear() { table().reset(); }
