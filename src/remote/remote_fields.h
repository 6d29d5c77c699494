// The fields of a mount (host, user, password, remote path), checked before
// anything runs: each one ends up in an argument vector, a folder name or a
// history line, and must not be able to change what those mean.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A host field split up: "example.org", "10.0.0.1:2121", "[::1]:2222".
struct HostAddress {
    std::string name; // hostname or address, IPv6 without its brackets
    std::string port; // decimal digits, empty when the field names none
    bool ipv6 = false;
};

// A hostname (labels of letters, digits, '-' and '_', none starting with '-'),
// an IPv4 address or a bracketed IPv6 address, optionally followed by ":PORT"
// (1-65535). Anything else, blanks and "/" included, is none.
std::optional<HostAddress> parse_host_field(std::string_view host);

// Letters, digits, '.', '_' and '-', not starting with '-', not empty.
bool valid_user_field(std::string_view user);
// Any text without control characters (a line feed would end the line a tool
// reads it from).
bool valid_password_field(std::string_view password);
// A path on the server: no control characters and no blank (the history line
// separates its fields with blanks); empty stands for the login folder.
bool valid_remote_path_field(std::string_view path);

// The host as the tools want it: "[::1]" for IPv6, else the name.
std::string host_for_url(const HostAddress& address);
