#include "remote/mount_table.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <gio/gio.h>
#include <glib.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/gobj.h"
#include "shell/lines.h"

namespace {
// Mount tables of a few thousand entries stay far below this.
constexpr std::size_t kTableMax = 16 * 1024 * 1024;

// "\040" and the other octal escapes the kernel writes for blanks, tabs,
// line feeds and backslashes.
std::string decode_octal(std::string_view field) {
    auto octal = [](char c) { return c >= '0' && c <= '7'; };
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && octal(field[i + 1]) &&
            octal(field[i + 2]) && octal(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
            continue;
        }
        out += field[i];
    }
    return out;
}

std::vector<std::string_view> split_blanks(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ')
            ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

// The folder with its parent resolved: what the kernel shows for it.
std::string canonical_folder(const std::string& folder) {
    GCharPtr parent(g_path_get_dirname(folder.c_str()));
    GCharPtr base(g_path_get_basename(folder.c_str()));
    char* resolved = ::realpath(parent.get(), nullptr);
    if (!resolved) return folder;
    std::string out = resolved;
    std::free(resolved);
    if (out != "/") out += '/';
    return out + base.get();
}
} // namespace

std::vector<MountEntry> parse_mountinfo(std::string_view text) {
    std::vector<MountEntry> entries;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        // id parent major:minor root point options [optional...] - fstype source superoptions
        auto fields = split_blanks(line);
        if (fields.size() < 10) continue;
        std::size_t dash = 6;
        while (dash < fields.size() && fields[dash] != "-")
            ++dash;
        if (dash + 2 >= fields.size()) continue;
        entries.push_back({decode_octal(fields[4]), decode_octal(fields[dash + 1]),
                           decode_octal(fields[dash + 2])});
    }
    return entries;
}

std::vector<MountEntry> read_mount_table(const std::string& path) {
    auto text = file_read_regular(path, kTableMax);
    return text ? parse_mountinfo(*text) : std::vector<MountEntry>{};
}

bool is_mount_point_in(const std::vector<MountEntry>& entries, const std::string& folder) {
    const std::string wanted = canonical_folder(folder);
    for (const auto& e : entries)
        if (e.point == wanted) return true;
    return false;
}

bool is_mount_point(const std::string& folder) {
    return is_mount_point_in(read_mount_table(), folder);
}

namespace {
// The state of a folder the kernel lists as a mount point.
FolderState mounted_state(const std::string& folder) {
    struct stat st {};
    return ::lstat(folder.c_str(), &st) == 0 ? FolderState::Mounted : FolderState::Dead;
}

FolderState unmounted_state(const std::string& folder) {
    struct stat st {};
    return ::lstat(folder.c_str(), &st) == 0 ? FolderState::Plain : FolderState::Absent;
}
} // namespace

FolderState folder_state(const std::string& folder) {
    return is_mount_point(folder) ? mounted_state(folder) : unmounted_state(folder);
}

void folder_state_async(const std::string& folder, std::function<void(FolderState)> done) {
    struct Ask {
        std::string folder;
        std::function<void(FolderState)> done;
        FolderState known = FolderState::Absent;
    };
    auto ask = std::make_unique<Ask>(Ask{folder, std::move(done)});
    if (!is_mount_point(folder)) {
        ask->known = unmounted_state(folder);
        g_idle_add_full(
            G_PRIORITY_DEFAULT,
            [](gpointer data) -> gboolean {
                std::unique_ptr<Ask> owned(static_cast<Ask*>(data));
                owned->done(owned->known);
                return G_SOURCE_REMOVE;
            },
            ask.release(), nullptr);
        return;
    }
    GObjectPtr<GTask> task(g_task_new(
        nullptr, nullptr,
        [](GObject*, GAsyncResult* result, gpointer data) {
            std::unique_ptr<Ask> owned(static_cast<Ask*>(data));
            owned->done(static_cast<FolderState>(g_task_propagate_int(G_TASK(result), nullptr)));
        },
        ask.get()));
    g_task_set_task_data(task.get(), g_strdup(folder.c_str()), g_free);
    ask.release();
    g_task_run_in_thread(task.get(), [](GTask* t, gpointer, gpointer data, GCancellable*) {
        g_task_return_int(t, static_cast<gssize>(mounted_state(static_cast<const char*>(data))));
    });
}
