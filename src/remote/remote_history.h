// The server histories orvane_ftp and orvane_sftp: one line per successful mount
// from a dialog, fields separated by single blanks, a blank before the line end.
// FTP lines are "host user \n": older lines also hold the password in clear
// ("host user password \n") and are still read. SFTP lines are
// "host user path \n". The files are private to the user (mode 0600).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One line split at every blank.
struct HistoryRow {
    std::string host;
    std::string user;
    std::string third; // FTP: the password of an older line, else empty; SFTP: the remote path
};

// The complete lines of a history file's text, each without its line feed; a last
// piece without a line feed is not a line yet.
std::vector<std::string> history_lines(std::string_view text);
HistoryRow parse_history_line(std::string_view line);

// What a history list shows for a row: host and user, and the path for SFTP; a
// password is never shown.
std::string ftp_row_label(const HistoryRow& row);
std::string sftp_row_label(const HistoryRow& row);

// The line a successful mount adds.
std::string ftp_history_line(std::string_view host, std::string_view user);
std::string sftp_history_line(std::string_view host, std::string_view user, std::string_view path);

// The file's text; none when it is missing, not a regular file or over 1 MiB.
std::optional<std::string> read_history_file(const std::string& path);
// Adds `line` at the end; the file is written anew beside itself and renamed
// over, with mode 0600. False when it could not be written (`error` says why).
bool append_history_line(const std::string& path, std::string_view line,
                         std::string* error = nullptr);
// Empties the file (mode 0600 too).
bool clear_history_file(const std::string& path, std::string* error = nullptr);
