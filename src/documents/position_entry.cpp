#include "documents/position_entry.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

bool has_line_end(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// strtol's reading without its need for a terminated string.
long read_offset(std::string_view text) {
    const std::string copy(text);
    errno = 0;
    const long n = std::strtol(copy.c_str(), nullptr, 10);
    if (errno == ERANGE) return n < 0 ? 0 : LONG_MAX;
    return n < 0 ? 0 : n;
}

} // namespace

std::optional<std::string> format_position_entry(const PositionEntry& entry) {
    if (entry.path.empty() || has_line_end(entry.path) || has_line_end(entry.charset) ||
        entry.charset.find(',') != std::string::npos)
        return std::nullopt;
    return entry.path + "," + entry.charset + "," + std::to_string(entry.offset);
}

std::optional<PositionEntry> parse_position_entry(std::string_view line) {
    if (line.size() <= 2) return std::nullopt;
    const std::size_t last = line.rfind(',');
    if (last == std::string_view::npos || last == 0) return std::nullopt;
    const std::size_t middle = line.rfind(',', last - 1);
    if (middle == std::string_view::npos || middle == 0) return std::nullopt;
    return PositionEntry{std::string(line.substr(0, middle)),
                         std::string(line.substr(middle + 1, last - middle - 1)),
                         read_offset(line.substr(last + 1))};
}

void position_list_add(Lines& list, std::string entry, long max) {
    list.insert(list.begin(), std::move(entry));
    if (static_cast<long>(list.size()) > max) list.pop_back();
}

std::string position_list_text(const Lines& list) {
    std::string text;
    for (const std::string& entry : list)
        if (!entry.empty()) text += entry + "\n";
    return text;
}

Lines position_list_from_text(std::string_view text) {
    return text_to_lines(text);
}

Lines session_list(const Lines& entries_in_tab_order, long max) {
    Lines list;
    for (const std::string& entry : entries_in_tab_order)
        position_list_add(list, entry, max);
    return list;
}
