#include "shell/menu_texts.h"

#include <algorithm>
#include <glib.h>
#include <glib/gstdio.h>

#include "shell/commands.h"

Lines directory_file_names(const std::string& dir) {
    Lines names;
    GDir* d = g_dir_open(dir.c_str(), 0, nullptr);
    if (!d) return names;
    std::string base = dir;
    if (!base.empty() && base.back() != '/') base += '/';
    while (const gchar* name = g_dir_read_name(d)) {
        if (!g_file_test((base + name).c_str(), G_FILE_TEST_IS_DIR)) names.emplace_back(name);
    }
    g_dir_close(d);
    lines_sort(names);
    return names;
}

bool ensure_private_dir(const std::string& dir) {
    if (g_file_test(dir.c_str(), G_FILE_TEST_IS_DIR)) return true;
    return g_mkdir(dir.c_str(), 0700) == 0 && g_file_test(dir.c_str(), G_FILE_TEST_IS_DIR);
}

Lines menu_labels_from_lines(const Lines& lines) {
    return lines_copy_nonempty(lines);
}

Lines recent_menu_labels(const Lines& recent, long max) {
    Lines labels;
    std::size_t limit = max > 0 ? static_cast<std::size_t>(max) : 0;
    for (std::size_t i = 0; i < recent.size() && i < limit; ++i)
        if (!recent[i].empty()) labels.push_back(recent[i]);
    return labels;
}

void recent_remove_first(Lines& recent, std::string_view name) {
    auto it = std::find(recent.begin(), recent.end(), name);
    if (it != recent.end()) recent.erase(it);
}

Lines user_menu_labels(const KeyTable& table) {
    Lines labels;
    for (const auto& [key, value] : table)
        labels.push_back(key);
    lines_sort(labels);
    return labels;
}

std::optional<std::string> user_menu_command(const KeyTable& table, const std::string& label,
                                             std::string_view file_name) {
    auto it = table.find(label);
    if (it == table.end()) return std::nullopt;
    return shell_fill_command(it->second, file_name);
}

std::optional<SnippetEdit> snippet_edit(std::string_view snippet,
                                        const std::optional<std::string>& selection) {
    if (!g_utf8_validate(snippet.data(), static_cast<gssize>(snippet.size()), nullptr))
        return std::nullopt;
    if (!selection) return SnippetEdit{SnippetEdit::insert_at_cursor, std::string(snippet)};
    if (snippet.find("%s") == std::string_view::npos) return std::nullopt;
    return SnippetEdit{SnippetEdit::replace_selection, fill_template(snippet, *selection)};
}

std::string menu_dump_text(const Lines& names) {
    Lines kept;
    for (const auto& n : names)
        if (n != "-x-") kept.push_back(n);
    return lines_to_text(kept);
}
