#include "shell/key_file.h"

#include <cerrno>
#include <cstdlib>

KeyTable parse_key_text(std::string_view text) {
    KeyTable table;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t lf = text.find('\n', start);
        std::string_view line =
            text.substr(start, lf == std::string_view::npos ? std::string_view::npos : lf - start);
        if (!line.empty() && line[0] != '#') {
            std::size_t eq = line.find('=');
            if (eq != std::string_view::npos)
                table.insert_or_assign(std::string(line.substr(0, eq)),
                                       std::string(line.substr(eq + 1)));
        }
        if (lf == std::string_view::npos) break;
        start = lf + 1;
    }
    return table;
}

std::optional<KeyTable> load_key_file(const std::string& path) {
    auto text = file_read_all(path);
    if (!text) return std::nullopt;
    return parse_key_text(*text);
}

std::string get_string_setting(const std::optional<KeyTable>& table, const std::string& key,
                               std::string_view def) {
    if (!table) return std::string(def);
    auto it = table->find(key);
    return it == table->end() ? std::string(def) : it->second;
}

long parse_long(std::string_view text) {
    // strtol needs a terminated string; a value may hold embedded NULs, which end it as in C.
    const std::string s(text);
    errno = 0;
    return std::strtol(s.c_str(), nullptr, 10);
}

long get_int_setting(const std::optional<KeyTable>& table, const std::string& key, long def) {
    if (!table) return def;
    return parse_long(get_string_setting(table, key, std::to_string(def)));
}

std::optional<std::string> lines_lookup_string(const std::optional<Lines>& list,
                                               std::string_view key, std::string_view def) {
    if (!list) return std::string(def);
    for (const auto& line : *list) {
        std::size_t eq = line.find('=');
        std::string_view name = std::string_view(line).substr(0, eq);
        if (!utf8_collate_equal(name, key)) continue;
        if (eq == std::string::npos) return std::nullopt;
        std::string value = line.substr(eq + 1);
        return value.empty() ? std::string(def) : value;
    }
    return std::string(def);
}

long lines_lookup_int(const std::optional<Lines>& list, std::string_view key, long def) {
    auto value = lines_lookup_string(list, key, std::to_string(def));
    return value ? parse_long(*value) : def;
}
