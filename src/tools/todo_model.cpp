#include "tools/todo_model.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <glib.h>
#include <glib/gi18n.h>
#include <glib/gstdio.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/gobj.h"

namespace {

// The table's texts go through gettext's default domain, hence <glib/gi18n.h>.
const char* const kMessageTexts[] = {
    N_("Tag xml invalide dans le fichier todo liste : %s\n"),
    N_("Ne peux pas écrire le fichier %s.\nVous n'avez propablement pas les bons droits."),
    N_("Ne peux pas supprimer %s. Avez vous les bons droits sur %s? \n"),
    N_("DIVODE_DB variable non trouvable (normalement %s).\n"),
    N_("DIVODE_PROFILE variable pour la todo liste n'est pas trouvable (normalement %s)\n"),
    N_("Le tag xml %s est invalide dans le fichier : %s\n"),
    N_("Ne peux pas ouvrir le répértoire %s. Avez vous les bons droits sur %s\n"),
    N_("Ne peux pas lire le fichier todo liste %s.\n"),
};

std::string display_name(std::string_view path) {
    GCharPtr shown(g_filename_display_name(std::string(path).c_str()));
    return shown.get();
}

struct XmlDocDeleter {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
using XmlDocPtr = std::unique_ptr<xmlDoc, XmlDocDeleter>;
struct XmlCharDeleter {
    void operator()(xmlChar* s) const { xmlFree(s); }
};
using XmlCharPtr = std::unique_ptr<xmlChar, XmlCharDeleter>;
struct XmlCtxtDeleter {
    void operator()(xmlParserCtxt* c) const { xmlFreeParserCtxt(c); }
};

bool named(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, BAD_CAST name);
}

std::string text_of(const xmlChar* s) {
    return s ? todo_clean_text(reinterpret_cast<const char*>(s)) : std::string();
}

std::optional<std::string> attribute(const xmlNode* node, const char* name) {
    XmlCharPtr value(xmlGetNoNsProp(node, BAD_CAST name));
    if (!value) return std::nullopt;
    return text_of(value.get());
}

struct ParseGuard {
    bool doctype = false;
};

// Called as soon as "<!DOCTYPE name" is read, before any declaration inside it:
// a row or profile never needs one, and refusing it here means no entity is
// ever declared, let alone expanded.
void refuse_doctype(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
    static_cast<ParseGuard*>(ctxt->_private)->doctype = true;
    xmlStopParser(ctxt);
}

// The document, or null when it is not well formed or carries a DOCTYPE.
XmlDocPtr parse_untrusted(std::string_view bytes) {
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    (void)initialised;
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return nullptr;
    std::unique_ptr<xmlParserCtxt, XmlCtxtDeleter> ctxt(xmlNewParserCtxt());
    if (!ctxt || !ctxt->sax) return nullptr;
    ParseGuard guard;
    ctxt->_private = &guard;
    ctxt->sax->internalSubset = refuse_doctype;
    // No XML_PARSE_NOENT, XML_PARSE_DTDLOAD, XML_PARSE_DTDATTR or XML_PARSE_XINCLUDE.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    XmlDocPtr doc(xmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()),
                                    nullptr, nullptr, options));
    if (guard.doctype || !doc || doc->intSubset || doc->extSubset) return nullptr;
    if (!xmlDocGetRootElement(doc.get())) return nullptr;
    return doc;
}

struct FileBytes {
    TodoReadStatus status = TodoReadStatus::unreadable;
    TodoChangeTuple tuple;
    std::string bytes;
};

TodoChangeTuple tuple_of(const struct stat& st) {
    return {static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            static_cast<std::uint64_t>(st.st_ino)};
}

TodoReadStatus failure_status(int err) {
    return err == ENOENT || err == ENOTDIR ? TodoReadStatus::gone : TodoReadStatus::unreadable;
}

// A regular file of at most kTodoMaxFileBytes, read whole. The name is looked at
// before it is opened, so a FIFO or device is never opened; the open itself does
// not wait (O_NONBLOCK) in case the name was swapped in between, and the opened
// file is checked again.
FileBytes read_bounded(const std::string& path, bool follow_link) {
    FileBytes out;
    struct stat st {};
    if ((follow_link ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) {
        out.status = failure_status(errno);
        return out;
    }
    out.tuple = tuple_of(st);
    if (!S_ISREG(st.st_mode)) {
        out.status = TodoReadStatus::not_regular;
        return out;
    }
    if (static_cast<std::uint64_t>(st.st_size) > kTodoMaxFileBytes) return out;
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (follow_link ? 0 : O_NOFOLLOW);
    int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        // O_NOFOLLOW on a link that appeared since lstat gives ELOOP.
        out.status = errno == ELOOP ? TodoReadStatus::not_regular : failure_status(errno);
        return out;
    }
    bool ok = ::fstat(fd, &st) == 0;
    if (ok && !S_ISREG(st.st_mode)) {
        ::close(fd);
        out.status = TodoReadStatus::not_regular;
        return out;
    }
    if (ok) out.tuple = tuple_of(st);
    std::size_t capacity =
        std::min<std::size_t>(static_cast<std::size_t>(st.st_size), kTodoMaxFileBytes) + 1;
    std::size_t used = 0;
    while (ok) {
        if (used == capacity) {
            if (capacity > kTodoMaxFileBytes) {
                ok = false; // grew beyond the limit while it was read
                break;
            }
            capacity = std::min(capacity * 2, kTodoMaxFileBytes + 1);
        }
        out.bytes.resize(capacity);
        ssize_t n = ::read(fd, out.bytes.data() + used, capacity - used);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    out.bytes.resize(ok ? used : 0);
    out.status = ok ? TodoReadStatus::ok : TodoReadStatus::unreadable;
    return out;
}

void append_escaped(std::string& out, std::string_view raw) {
    for (char c : todo_clean_text(raw)) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            out += c;
        }
    }
}

bool valid_row_name(std::string_view name) {
    return !name.empty() && name.front() != '.' && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes `bytes` to `fd`, flushed to disk; a file size limit fails the write
// instead of ending the program.
bool write_flushed(int fd, std::string_view bytes) {
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    bool ok = write_all(fd, bytes) && ::fsync(fd) == 0;
    sigaction(SIGXFSZ, &previous, nullptr);
    return ok;
}

// A complete file beside the rows, under a dot-name that no refresh reads; "" on
// failure. Created like any new file of the user (0666 less the umask) unless
// `mode` is given.
std::string write_temp(const std::string& folder, std::string_view bytes,
                       std::optional<mode_t> mode) {
    std::string temp = folder + ".orvane-todo-XXXXXX";
    int fd = g_mkstemp_full(temp.data(), O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) return {};
    bool ok = write_flushed(fd, bytes);
    if (ok && mode) ok = ::fchmod(fd, *mode) == 0;
    if (::close(fd) != 0) ok = false;
    if (!ok) {
        ::unlink(temp.c_str());
        return {};
    }
    return temp;
}

bool link_unsupported(int err) {
    return err == EPERM || err == ENOTSUP || err == EOPNOTSUPP || err == ENOSYS || err == EMLINK;
}

std::vector<TodoCell> profile_cells(const TodoProfile& profile,
                                    const std::vector<std::string>& values) {
    std::vector<TodoCell> cells;
    cells.reserve(profile.columns.size());
    for (std::size_t i = 0; i < profile.columns.size(); ++i)
        cells.push_back({profile.columns[i].name, i < values.size() ? values[i] : std::string()});
    return cells;
}

std::string profile_failure(const TodoProfile& profile) {
    return profile.messages.empty() ? todo_message(TodoMessage::no_profile)
                                    : profile.messages.front();
}

} // namespace

std::string todo_message(TodoMessage which, std::string_view first, std::string_view second) {
    // The arguments are put in place by hand: a translation is never used as a format.
    const std::string_view text = _(kMessageTexts[static_cast<int>(which)]);
    std::string out;
    const std::string_view args[] = {first, second};
    std::size_t next = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
            if (next < 2) out += args[next++];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string todo_clean_text(std::string_view text) {
    auto plain = [](unsigned char c) {
        return c >= 0x20 ? c < 0x80 : c == '\t' || c == '\n' || c == '\r';
    };
    if (std::all_of(text.begin(), text.end(),
                    [&](char c) { return plain(static_cast<unsigned char>(c)); }))
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        if (*p == '\0') {
            ++p;
            continue;
        }
        gunichar c = g_utf8_get_char_validated(p, end - p);
        if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
            out += "\xEF\xBF\xBD"; // U+FFFD for a byte that starts no character
            ++p;
            continue;
        }
        const char* next = g_utf8_next_char(p);
        bool keep = c >= 0x20 ? c != 0xFFFE && c != 0xFFFF : c == '\t' || c == '\n' || c == '\r';
        if (keep) out.append(p, next);
        p = next;
    }
    return out;
}

std::string todo_row_text(const std::vector<TodoCell>& cells) {
    std::string out = "<?xml version=\"1.0\"?>\n<row>\n";
    for (const TodoCell& cell : cells) {
        out += "<column name=\"";
        append_escaped(out, cell.name);
        out += "\" value=\"";
        append_escaped(out, cell.value);
        out += "\"></column>\n";
    }
    out += "</row>\n";
    return out;
}

std::string todo_row_file_name(std::string_view user, std::time_t when, int attempt) {
    std::string name(user);
    std::replace(name.begin(), name.end(), '/', '_');
    name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
    if (name.empty()) name = "user";
    if (name.front() == '.') name.front() = '_';
    name += "_" + std::to_string(static_cast<long long>(when));
    if (attempt > 1) name += "_" + std::to_string(attempt);
    return name + ".xml";
}

std::string todo_cell_value(const std::vector<TodoCell>& cells, std::string_view column) {
    for (auto it = cells.rbegin(); it != cells.rend(); ++it)
        if (it->name == column) return it->value;
    return {};
}

TodoProfile todo_parse_profile(std::string_view bytes) {
    TodoProfile profile;
    XmlDocPtr doc = parse_untrusted(bytes);
    if (!doc) return profile;
    profile.ok = true;
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    profile.root_name = text_of(root->name);
    for (const xmlNode* node = root->children; node; node = node->next) {
        if (!named(node, "column")) continue;
        TodoColumn column;
        column.name = attribute(node, "name").value_or("");
        column.type = attribute(node, "type").value_or("");
        for (const xmlNode* v = node->children; v; v = v->next) {
            if (!named(v, "value")) continue;
            XmlCharPtr content(xmlNodeGetContent(v));
            std::string text = text_of(content.get());
            if (attribute(v, "type").value_or("") == "default") column.default_value = text;
            column.values.push_back(std::move(text));
        }
        profile.columns.push_back(std::move(column));
    }
    return profile;
}

TodoProfile todo_load_profile(const std::string& path) {
    FileBytes file = read_bounded(path, true);
    TodoProfile profile;
    if (file.status == TodoReadStatus::gone || path.empty()) {
        profile.messages.push_back(todo_message(TodoMessage::no_profile, display_name(path)));
        return profile;
    }
    if (file.status == TodoReadStatus::ok) profile = todo_parse_profile(file.bytes);
    if (!profile.ok) {
        profile.messages.push_back(todo_message(TodoMessage::unreadable_row, display_name(path)));
        return profile;
    }
    if (profile.root_name != "columns")
        profile.messages.push_back(
            todo_message(TodoMessage::profile_root, profile.root_name, display_name(path)));
    return profile;
}

std::optional<TodoChangeTuple> todo_change_tuple(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
    return tuple_of(st);
}

TodoRowRead todo_parse_row(std::string_view bytes) {
    TodoRowRead row;
    XmlDocPtr doc = parse_untrusted(bytes);
    if (!doc) {
        row.status = TodoReadStatus::not_xml;
        return row;
    }
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    row.root_name = text_of(root->name);
    row.status = row.root_name == "row" ? TodoReadStatus::ok : TodoReadStatus::wrong_root;
    for (const xmlNode* node = root->children; node; node = node->next) {
        if (!named(node, "column")) continue;
        std::optional<std::string> name = attribute(node, "name");
        if (!name) continue;
        row.cells.push_back({std::move(*name), attribute(node, "value").value_or("")});
    }
    return row;
}

TodoRowRead todo_read_row_file(const std::string& path) {
    FileBytes file = read_bounded(path, false);
    TodoRowRead row;
    if (file.status == TodoReadStatus::ok)
        row = todo_parse_row(file.bytes);
    else
        row.status = file.status;
    row.tuple = file.tuple;
    return row;
}

std::optional<std::string> todo_ensure_dir(const std::string& dir) {
    if (!dir.empty() && (g_file_test(dir.c_str(), G_FILE_TEST_IS_DIR) ||
                         (g_mkdir_with_parents(dir.c_str(), 0700) == 0 &&
                          g_file_test(dir.c_str(), G_FILE_TEST_IS_DIR))))
        return std::nullopt;
    return todo_message(TodoMessage::no_row_dir, display_name(dir));
}

struct TodoTable::Pending {
    std::vector<std::string> known; // rows in table order, then the files without a row
    std::size_t next_known = 0;
    std::size_t row_cursor = 0; // where known[next_known] is expected in rows_
    std::vector<std::string> fresh;
    std::size_t next_fresh = 0;
};

TodoTable::TodoTable(std::string dir) : dir_(std::move(dir)) {
    if (!dir_.empty() && dir_.back() != '/') dir_ += '/';
}

TodoTable::~TodoTable() = default;

std::string TodoTable::path_of(std::string_view name) const {
    return dir_ + std::string(name);
}

const TodoRow* TodoTable::find(std::string_view file_name) const {
    std::size_t i = row_index(file_name);
    return i < rows_.size() ? &rows_[i] : nullptr;
}

std::size_t TodoTable::row_index(std::string_view name) const {
    if (pending_ && pending_->row_cursor < rows_.size() &&
        rows_[pending_->row_cursor].file_name == name)
        return pending_->row_cursor;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].file_name == name) return i;
    return rows_.size();
}

bool TodoTable::begin_refresh(TodoRefreshReport& report) {
    pending_.reset();
    DIR* dir = dir_.empty() ? nullptr : ::opendir(dir_.c_str());
    if (!dir) {
        std::string shown = display_name(dir_);
        report.messages.push_back(todo_message(TodoMessage::open_dir_failed, shown, shown));
        return false;
    }
    auto pending = std::make_unique<Pending>();
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name.front() == '.' || !name.ends_with(".xml")) continue;
        if (!files_.contains(std::string(name))) pending->fresh.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(pending->fresh.begin(), pending->fresh.end());
    pending->known.reserve(files_.size());
    for (const TodoRow& row : rows_)
        pending->known.push_back(row.file_name);
    std::vector<std::string> rowless;
    for (const auto& [name, entry] : files_)
        if (!entry.has_row) rowless.push_back(name);
    std::sort(rowless.begin(), rowless.end());
    pending->known.insert(pending->known.end(), rowless.begin(), rowless.end());
    pending_ = std::move(pending);
    return true;
}

bool TodoTable::refresh_step(std::size_t max_files, TodoRefreshReport& report) {
    if (!pending_) return false;
    Pending& p = *pending_;
    for (std::size_t done = 0; done < max_files; ++done) {
        if (p.next_known < p.known.size()) {
            if (examine_known(p.known[p.next_known++], report)) ++p.row_cursor;
        } else if (p.next_fresh < p.fresh.size()) {
            read_new(p.fresh[p.next_fresh++], report);
        } else {
            break;
        }
    }
    if (p.next_known < p.known.size() || p.next_fresh < p.fresh.size()) return true;
    pending_.reset();
    return false;
}

void TodoTable::refresh(TodoRefreshReport& report) {
    if (!begin_refresh(report)) return;
    while (refresh_step(SIZE_MAX, report)) {
    }
}

// True when the row stays in place (the walk moves past it).
bool TodoTable::examine_known(const std::string& name, TodoRefreshReport& report) {
    auto found = files_.find(name);
    if (found == files_.end()) return false;
    Entry& entry = found->second;
    const std::size_t index = entry.has_row ? row_index(name) : rows_.size();
    const bool in_rows = index < rows_.size();

    std::optional<TodoChangeTuple> now = todo_change_tuple(path_of(name));
    if (now && *now == entry.seen) return in_rows;
    TodoRowRead read = now ? todo_read_row_file(path_of(name)) : TodoRowRead{};
    if (!now || read.status == TodoReadStatus::gone) {
        if (in_rows) {
            rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
            report.changes.push_back({TodoChange::Kind::removed, index, {name, {}}});
        }
        files_.erase(found);
        return false;
    }
    if (read.status != TodoReadStatus::ok && read.status != TodoReadStatus::wrong_root) {
        // The row keeps its last values; the failure is told once, since the file
        // is read again only when it changes again.
        entry.seen = read.tuple;
        report.messages.push_back(
            todo_message(TodoMessage::unreadable_row, display_name(path_of(name))));
        return in_rows;
    }
    if (read.status == TodoReadStatus::wrong_root)
        report.messages.push_back(todo_message(TodoMessage::row_root, read.root_name));
    entry.seen = entry.read = read.tuple;
    entry.has_row = true;
    TodoRow row{name, std::move(read.cells)};
    if (in_rows) {
        rows_[index] = row;
        report.changes.push_back({TodoChange::Kind::updated, index, std::move(row)});
    } else {
        rows_.push_back(row);
        report.changes.push_back({TodoChange::Kind::added, rows_.size() - 1, std::move(row)});
    }
    return in_rows;
}

void TodoTable::read_new(const std::string& name, TodoRefreshReport& report) {
    if (files_.contains(name)) return;
    TodoRowRead read = todo_read_row_file(path_of(name));
    switch (read.status) {
    case TodoReadStatus::gone:
    case TodoReadStatus::not_regular:
        return; // looked at again by the next refresh, never opened
    case TodoReadStatus::not_xml:
    case TodoReadStatus::unreadable:
        files_[name] = Entry{read.tuple, {}, false};
        report.messages.push_back(
            todo_message(TodoMessage::unreadable_row, display_name(path_of(name))));
        return;
    case TodoReadStatus::wrong_root:
        report.messages.push_back(todo_message(TodoMessage::row_root, read.root_name));
        [[fallthrough]];
    case TodoReadStatus::ok:
        files_[name] = Entry{read.tuple, read.tuple, true};
        rows_.push_back({name, std::move(read.cells)});
        report.changes.push_back({TodoChange::Kind::added, rows_.size() - 1, rows_.back()});
        return;
    }
}

TodoFileState TodoTable::file_state(std::string_view file_name) const {
    std::optional<TodoChangeTuple> now = todo_change_tuple(path_of(file_name));
    if (!now) return TodoFileState::gone;
    auto found = files_.find(std::string(file_name));
    if (found == files_.end() || !found->second.has_row || found->second.read != *now)
        return TodoFileState::changed;
    return TodoFileState::unchanged;
}

TodoWriteResult TodoTable::add_row(const TodoProfile& profile,
                                   const std::vector<std::string>& values, std::string_view user,
                                   std::time_t when) const {
    TodoWriteResult result;
    if (!profile.ok) {
        result.message = profile_failure(profile);
        return result;
    }
    const std::string text = todo_row_text(profile_cells(profile, values));
    std::string temp = write_temp(dir_, text, std::nullopt);
    // A hard link publishes the complete file under a name only if that name is
    // free; where links are not supported the file is created exclusively instead.
    bool linking = !temp.empty();
    for (int attempt = 1; attempt <= 1000; ++attempt) {
        result.file_name = todo_row_file_name(user, when, attempt);
        const std::string path = path_of(result.file_name);
        if (linking) {
            if (::link(temp.c_str(), path.c_str()) == 0) {
                ::unlink(temp.c_str());
                result.ok = true;
                return result;
            }
            if (errno == EEXIST) continue;
            if (!link_unsupported(errno)) break;
            ::unlink(temp.c_str());
            temp.clear();
            linking = false;
        }
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) break;
        bool ok = write_flushed(fd, text);
        if (::close(fd) != 0) ok = false;
        if (ok) {
            result.ok = true;
            return result;
        }
        ::unlink(path.c_str());
        break;
    }
    if (!temp.empty()) ::unlink(temp.c_str());
    result.message =
        todo_message(TodoMessage::write_failed, display_name(path_of(result.file_name)));
    return result;
}

TodoWriteResult TodoTable::save_row(const TodoProfile& profile, const std::string& file_name,
                                    const std::vector<std::string>& values) const {
    TodoWriteResult result;
    result.file_name = file_name;
    const std::string path = path_of(file_name);
    if (!profile.ok) {
        result.message = profile_failure(profile);
        return result;
    }
    if (!valid_row_name(file_name)) {
        result.message = todo_message(TodoMessage::write_failed, display_name(path));
        return result;
    }
    // Columns this profile does not know belong to someone else's profile: they are
    // kept, from the file as it is now when it still reads, else as last read.
    std::vector<TodoCell> cells = profile_cells(profile, values);
    TodoRowRead current = todo_read_row_file(path);
    const std::vector<TodoCell>* previous = nullptr;
    if (current.status == TodoReadStatus::ok || current.status == TodoReadStatus::wrong_root)
        previous = &current.cells;
    else if (const TodoRow* row = find(file_name))
        previous = &row->cells;
    if (previous) {
        for (const TodoCell& cell : *previous) {
            bool known = std::any_of(profile.columns.begin(), profile.columns.end(),
                                     [&](const TodoColumn& c) { return c.name == cell.name; });
            if (!known) cells.push_back(cell);
        }
    }
    std::optional<mode_t> mode;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) mode = st.st_mode & 07777;
    std::string temp = write_temp(dir_, todo_row_text(cells), mode);
    // rename replaces the name itself: a link put there is replaced, not written through.
    if (temp.empty() || ::rename(temp.c_str(), path.c_str()) != 0) {
        if (!temp.empty()) ::unlink(temp.c_str());
        result.message = todo_message(TodoMessage::write_failed, display_name(path));
        return result;
    }
    result.ok = true;
    return result;
}

TodoWriteResult TodoTable::delete_row(const std::string& file_name) const {
    TodoWriteResult result;
    result.file_name = file_name;
    const std::string path = path_of(file_name);
    if (valid_row_name(file_name) && (::unlink(path.c_str()) == 0 || errno == ENOENT)) {
        result.ok = true;
        return result;
    }
    result.message =
        todo_message(TodoMessage::delete_failed, display_name(path), display_name(dir_));
    return result;
}
