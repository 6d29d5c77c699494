// The todo table without its display: the column profile, one XML file per row in
// a folder that other people (and sync tools) write to as well, and the table of
// loaded files that a refresh compares with the folder.
//
// Every row file is untrusted: only regular files up to kTodoMaxFileBytes are read,
// never through a symbolic link and never waiting on a FIFO; documents are parsed
// from memory without network, entity substitution, DTD loading or XInclude, and a
// document with a DOCTYPE is refused. Dot-files are never rows, so temporary
// files of a write in progress are not read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

inline constexpr std::size_t kTodoMaxFileBytes = 1024 * 1024;
// The hidden first column of the table's store: the row's file name.
inline constexpr const char* kTodoRowIdColumn = "DIVODE_ROW_ID";

// The error texts the table shows, French, translated through gettext's default
// domain. Each takes the arguments named beside it.
enum class TodoMessage {
    row_root,        // root element name of a row file
    write_failed,    // path of the row file
    delete_failed,   // path of the row file, the folder
    no_row_dir,      // the row folder
    no_profile,      // the profile's path
    profile_root,    // root element name, the profile's path
    open_dir_failed, // the row folder (twice in the text)
    unreadable_row,  // path of the row file
};
std::string todo_message(TodoMessage which, std::string_view first = {},
                         std::string_view second = {});

struct TodoColumn {
    std::string name;
    std::string type;                // kept, never acted upon
    std::vector<std::string> values; // the proposed values, in profile order
    std::string default_value;       // "" when no value has type="default"
};

struct TodoProfile {
    bool ok = false;       // false: nothing may be written with it
    std::string root_name; // the document's root element ("columns" when well formed)
    std::vector<TodoColumn> columns;
    std::vector<std::string> messages; // to show the user, in order
};

// Parses a profile document; `ok` when it parsed at all (a root other than
// `columns` is reported by todo_load_profile but its columns are still read).
TodoProfile todo_parse_profile(std::string_view bytes);
TodoProfile todo_load_profile(const std::string& path);

struct TodoCell {
    std::string name;
    std::string value;
    bool operator==(const TodoCell&) const = default;
};

enum class TodoReadStatus {
    ok,
    wrong_root,  // parsed, root is not `row`; the cells are still filled
    not_xml,     // not well formed, or carries a DOCTYPE
    unreadable,  // too large, or an I/O error
    not_regular, // a FIFO, device, folder or symbolic link: never opened
    gone,        // no such file
};

struct TodoChangeTuple {
    std::int64_t size = -1;
    std::int64_t mtime_ns = 0;
    std::uint64_t inode = 0;
    bool operator==(const TodoChangeTuple&) const = default;
};

// The tuple of the file itself (a symbolic link is not followed); nullopt when the
// name no longer exists.
std::optional<TodoChangeTuple> todo_change_tuple(const std::string& path);

struct TodoRowRead {
    TodoReadStatus status = TodoReadStatus::unreadable;
    std::string root_name;
    std::vector<TodoCell> cells; // every `column` child with a name, in file order
    TodoChangeTuple tuple;       // of the bytes that were parsed
};

// Values are cleaned the way they are written (see todo_clean_text), so what is
// read writes back byte for byte.
TodoRowRead todo_parse_row(std::string_view bytes);
TodoRowRead todo_read_row_file(const std::string& path);

// Valid UTF-8 without the characters a row file cannot carry: control characters
// other than tab, LF and CR, and U+FFFE/U+FFFF.
std::string todo_clean_text(std::string_view text);
// A whole row file for these cells, in their order.
std::string todo_row_text(const std::vector<TodoCell>& cells);
// "user_seconds.xml", or "user_seconds_N.xml" for attempt N >= 2; a user name that
// could leave the folder or hide the file is made harmless.
std::string todo_row_file_name(std::string_view user, std::time_t when, int attempt = 1);

// The last value for `column` among `cells`, "" when absent.
std::string todo_cell_value(const std::vector<TodoCell>& cells, std::string_view column);

// Creates the row folder with mode 0700 when missing; otherwise the no_row_dir text.
std::optional<std::string> todo_ensure_dir(const std::string& dir);

struct TodoRow {
    std::string file_name;
    std::vector<TodoCell> cells; // as last read, columns the profile does not know included
};

struct TodoChange {
    enum class Kind { added, updated, removed };
    Kind kind;
    std::size_t index; // in rows() at the moment of the change; apply changes in order
    TodoRow row;       // the new row for added and updated
};

struct TodoRefreshReport {
    std::vector<TodoChange> changes;
    std::vector<std::string> messages;
};

// How a row's file compares with what the table last read from it.
enum class TodoFileState { unchanged, changed, gone };

struct TodoWriteResult {
    bool ok = false;
    std::string file_name; // of the file written
    std::string message;   // to show when !ok
};

// The rows of one folder and the loaded-files table. A refresh runs in steps so
// that a window can load a large folder between its events: begin_refresh() lists
// the folder, and each refresh_step() examines at most `max_files` files: first the
// known files in table order (a vanished file takes its row away, a file whose
// size, time or inode changed is read again), then the new ones in name order.
// A file that cannot be read adds no row, a known row whose file breaks keeps its
// last values, and either is reported once until the file changes again.
class TodoTable {
  public:
    explicit TodoTable(std::string dir);
    ~TodoTable();
    TodoTable(const TodoTable&) = delete;
    TodoTable& operator=(const TodoTable&) = delete;

    const std::string& dir() const { return dir_; }
    const std::vector<TodoRow>& rows() const { return rows_; }
    const TodoRow* find(std::string_view file_name) const;

    // Starts a refresh (a refresh already running starts over). False with the
    // open_dir_failed text in `report` when the folder cannot be listed; the rows
    // then stay as they are.
    bool begin_refresh(TodoRefreshReport& report);
    // True while files remain to examine.
    bool refresh_step(std::size_t max_files, TodoRefreshReport& report);
    bool refreshing() const { return pending_ != nullptr; }
    // A whole refresh at once.
    void refresh(TodoRefreshReport& report);

    // Compared with the size, time and inode of the bytes the row's values came from.
    TodoFileState file_state(std::string_view file_name) const;

    // Writes and deletions reach rows() at the next refresh, like anyone else's.
    // Writes a new row file that never replaces an existing one; its name follows
    // todo_row_file_name for `user` and `when`. `values` follow the profile's columns.
    TodoWriteResult add_row(const TodoProfile& profile, const std::vector<std::string>& values,
                            std::string_view user, std::time_t when) const;
    // Rewrites a row file atomically with `values` for the profile's columns, keeping
    // the columns the profile does not know. Replaces whatever stands under the name
    // (a link is replaced, not followed); ask first when file_state() is not unchanged.
    TodoWriteResult save_row(const TodoProfile& profile, const std::string& file_name,
                             const std::vector<std::string>& values) const;
    // A file that is already gone counts as deleted.
    TodoWriteResult delete_row(const std::string& file_name) const;

  private:
    struct Entry {
        TodoChangeTuple seen; // last examined: a refresh rereads when this differs
        TodoChangeTuple read; // of the bytes behind the row's values
        bool has_row = false;
    };
    struct Pending;

    bool examine_known(const std::string& name, TodoRefreshReport& report);
    void read_new(const std::string& name, TodoRefreshReport& report);
    std::size_t row_index(std::string_view name) const;
    std::string path_of(std::string_view name) const;

    std::string dir_;
    std::vector<TodoRow> rows_;
    std::unordered_map<std::string, Entry> files_;
    std::unique_ptr<Pending> pending_;
};
