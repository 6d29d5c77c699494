#include "remote/remote_fields.h"

#include <gio/gio.h>

#include "shell/gobj.h"

namespace {
bool is_ascii_alnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool has_control(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f) return true;
    return false;
}

bool valid_port(std::string_view port) {
    if (port.empty() || port.size() > 5 || port[0] == '0') return false;
    long value = 0;
    for (char c : port) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535;
}

bool valid_hostname(std::string_view name) {
    if (name.empty() || name.size() > 253) return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('.', start);
        if (end == std::string_view::npos) end = name.size();
        std::string_view label = name.substr(start, end - start);
        // A single trailing dot (fully qualified) leaves one empty label at the end.
        if (label.empty()) return end == name.size() && start == name.size() && start > 0;
        if (label.size() > 63 || label[0] == '-') return false;
        for (char c : label)
            if (!is_ascii_alnum(c) && c != '-' && c != '_') return false;
        start = end + 1;
    }
    return true;
}

bool valid_ipv6(std::string_view text) {
    // Checked byte by byte first: the parser below stops at a NUL.
    for (char c : text)
        if (!g_ascii_isxdigit(c) && c != ':' && c != '.') return false;
    GObjectPtr<GInetAddress> address(g_inet_address_new_from_string(std::string(text).c_str()));
    return address && g_inet_address_get_family(address.get()) == G_SOCKET_FAMILY_IPV6;
}
} // namespace

std::optional<HostAddress> parse_host_field(std::string_view host) {
    HostAddress out;
    std::string_view rest;
    if (!host.empty() && host[0] == '[') {
        std::size_t close = host.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        std::string_view inside = host.substr(1, close - 1);
        // Zone indexes ("%eth0") would put free text into folder names and tool arguments.
        if (!valid_ipv6(inside)) return std::nullopt;
        out.name = std::string(inside);
        out.ipv6 = true;
        rest = host.substr(close + 1);
    } else {
        std::size_t colon = host.find(':');
        std::string_view name = host.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view{} : host.substr(colon);
        if (!valid_hostname(name)) return std::nullopt;
        out.name = std::string(name);
    }
    if (!rest.empty()) {
        if (rest[0] != ':' || !valid_port(rest.substr(1))) return std::nullopt;
        out.port = std::string(rest.substr(1));
    }
    return out;
}

bool valid_user_field(std::string_view user) {
    if (user.empty() || user[0] == '-') return false;
    for (char c : user)
        if (!is_ascii_alnum(c) && c != '.' && c != '_' && c != '-') return false;
    return true;
}

bool valid_password_field(std::string_view password) {
    return !has_control(password);
}

bool valid_remote_path_field(std::string_view path) {
    return !has_control(path) && path.find(' ') == std::string_view::npos;
}

std::string host_for_url(const HostAddress& address) {
    return address.ipv6 ? "[" + address.name + "]" : address.name;
}
