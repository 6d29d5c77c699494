#include "remote/mount_plans.h"

#include <glib.h>

#include "shell/gobj.h"

namespace {
std::string find_program(const char* name) {
    GCharPtr path(g_find_program_in_path(name));
    return path ? path.get() : "";
}

std::string host_with_port(const HostAddress& host) {
    std::string out = host_for_url(host);
    if (!host.port.empty()) out += ":" + host.port;
    return out;
}
} // namespace

RemoteTools find_remote_tools() {
    RemoteTools tools;
    tools.curlftpfs = find_program("curlftpfs");
    tools.rclone = find_program("rclone");
    tools.sshfs = find_program("sshfs");
    tools.ssh_add = find_program("ssh-add");
    tools.fusermount = find_program("fusermount3");
    if (tools.fusermount.empty()) tools.fusermount = find_program("fusermount");
    return tools;
}

std::string mount_folder_for(std::string_view host) {
    const char* home = g_getenv("HOME");
    std::string folder = home && *home ? home : g_get_home_dir();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder + "/MOUNT/" + std::string(host);
}

ArgvCommand rclone_obscure_command(const std::string& rclone, std::string_view password) {
    ArgvCommand c;
    c.argv = {rclone, "obscure", "-"};
    c.env = {{"RCLONE_CONFIG", "/dev/null"}};
    // rclone reads one line and drops its end.
    c.input = std::string(password) + "\n";
    c.time_limit_ms = kStepTimeLimitMs;
    return c;
}

ArgvCommand curlftpfs_mount_command(const std::string& curlftpfs, const HostAddress& host,
                                    std::string_view user, std::string_view password,
                                    const std::string& folder) {
    ArgvCommand c;
    // Without a password after the user, curlftpfs asks for it; with no terminal
    // (the child has none) the question is answered from standard input.
    if (password.empty()) {
        c.argv = {curlftpfs, "-o", "user=" + std::string(user) + ":", host_with_port(host), folder};
    } else {
        c.argv = {curlftpfs, "-o", "user=" + std::string(user), host_with_port(host), folder};
        c.input = std::string(password) + "\n";
    }
    c.time_limit_ms = kMountTimeLimitMs;
    return c;
}

ArgvCommand rclone_mount_command(const std::string& rclone, const HostAddress& host,
                                 std::string_view user, std::string_view obscured_password,
                                 const std::string& folder) {
    ArgvCommand c;
    c.argv = {rclone,     "mount",         ":ftp:", folder,
              "--daemon", "--daemon-wait", "10s",   "--vfs-cache-mode",
              "off",      "--contimeout",  "10s",   "--timeout",
              "60s"};
    c.env = {{"RCLONE_CONFIG", "/dev/null"},
             {"RCLONE_FTP_HOST", host.name},
             {"RCLONE_FTP_PORT", host.port.empty() ? "21" : host.port},
             {"RCLONE_FTP_USER", std::string(user)},
             {"RCLONE_FTP_PASS", std::string(obscured_password)}};
    c.time_limit_ms = kMountTimeLimitMs;
    return c;
}

ArgvCommand sshfs_mount_command(const std::string& sshfs, const HostAddress& host,
                                std::string_view user, std::string_view path,
                                const std::string& folder, const std::string& ssh_config) {
    ArgvCommand c;
    c.argv = {sshfs};
    if (!host.port.empty()) c.argv.insert(c.argv.end(), {"-p", host.port});
    if (!ssh_config.empty()) c.argv.insert(c.argv.end(), {"-F", ssh_config});
    c.argv.insert(c.argv.end(),
                  {"-o",
                   "BatchMode=yes,ConnectTimeout=10,ServerAliveInterval=5,ServerAliveCountMax=3,"
                   "StrictHostKeyChecking=accept-new",
                   "--", std::string(user) + "@" + host_for_url(host) + ":" + std::string(path),
                   folder});
    c.time_limit_ms = kMountTimeLimitMs;
    return c;
}

ArgvCommand ssh_add_command(const std::string& ssh_add) {
    ArgvCommand c;
    c.argv = {ssh_add};
    c.time_limit_ms = kStepTimeLimitMs;
    return c;
}

ArgvCommand unmount_command(const std::string& fusermount, const std::string& folder, bool lazy) {
    ArgvCommand c;
    c.argv = {fusermount, lazy ? "-uz" : "-u", "--", folder};
    c.time_limit_ms = kStepTimeLimitMs;
    return c;
}
