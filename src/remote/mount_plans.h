// The outside programs behind a mount, as argument vectors: no shell sees the
// fields, and no password is ever part of a vector (it travels through the
// environment or the child's standard input).
#pragma once

#include <string>
#include <string_view>

#include "remote/remote_fields.h"
#include "shell/commands.h"

// A mount (the tool returns once the files are there or it failed) may take this long.
inline constexpr int kMountTimeLimitMs = 30000;
// The small steps around it: obscuring a password, ssh-add, fusermount.
inline constexpr int kStepTimeLimitMs = 10000;

// The tools as found in PATH; empty when missing.
struct RemoteTools {
    std::string curlftpfs, rclone, sshfs, ssh_add, fusermount;
};
RemoteTools find_remote_tools();

// The mount folder of a host: $HOME/MOUNT/<host>, HOME read at each call.
std::string mount_folder_for(std::string_view host);

// `rclone obscure -` reading the password from its standard input; its output is
// what RCLONE_FTP_PASS wants.
ArgvCommand rclone_obscure_command(const std::string& rclone, std::string_view password);

// FTP through curlftpfs: the user in `-o user=` (the user field holds no comma),
// the password on standard input, which curlftpfs reads when asked for it.
ArgvCommand curlftpfs_mount_command(const std::string& curlftpfs, const HostAddress& host,
                                    std::string_view user, std::string_view password,
                                    const std::string& folder);

// FTP through an on-the-fly rclone remote: everything about the server, the
// obscured password included, goes through the environment. The write cache
// stays off, so a refused upload fails the save and nothing waits to be sent.
ArgvCommand rclone_mount_command(const std::string& rclone, const HostAddress& host,
                                 std::string_view user, std::string_view obscured_password,
                                 const std::string& folder);

// SFTP through sshfs: never asks a question, gives up on a silent server, notices
// a vanished one; `ssh_config` (may be empty) is an ssh client configuration
// file to use instead of the user's.
ArgvCommand sshfs_mount_command(const std::string& sshfs, const HostAddress& host,
                                std::string_view user, std::string_view path,
                                const std::string& folder, const std::string& ssh_config);

ArgvCommand ssh_add_command(const std::string& ssh_add);

// `fusermount -u`, or `-uz` to detach a dead or busy mount.
ArgvCommand unmount_command(const std::string& fusermount, const std::string& folder, bool lazy);
