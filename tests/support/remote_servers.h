// Servers for mount tests, on 127.0.0.1 on free ports, with their keys, settings
// and logs in a folder the test owns; each stops when its object goes away.
// Usable from core, GUI and benchmark code (no GoogleTest in here).
#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

// Why mounts cannot be tested here (no /dev/fuse, no fusermount, a probe mount
// that fails), or none when they can. Worked out once per process. A test skips
// with it: `if (auto why = fuse_unusable_reason()) GTEST_SKIP() << *why;`
std::optional<std::string> fuse_unusable_reason();

// A TCP port on 127.0.0.1 that nothing listens on right now.
int free_tcp_port();

// A started child process, stopped (SIGTERM, then SIGKILL) on destruction.
class ServerProcess {
  public:
    ServerProcess() = default;
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    pid_t pid = 0;
    void stop();
};

// An FTP server (Debian's python3-pyftpdlib under the system Python) serving
// `root` read-write to one user. The password reaches it on its standard input,
// never on a command line.
class FtpServer {
  public:
    FtpServer(const std::string& root, const std::string& user, const std::string& password,
              const std::string& log_file);
    bool running() const { return port_ > 0; }
    const std::string& error() const { return error_; } // why it did not start
    int port() const { return port_; }
    std::string host_field() const { return "127.0.0.1:" + std::to_string(port_); }

  private:
    ServerProcess process_;
    int port_ = 0;
    std::string error_;
};

// A private sshd: its own host key and configuration in `folder`, key-only login
// for the user running the test, sftp served in-process.
class SshServer {
  public:
    explicit SshServer(const std::string& folder);
    bool running() const { return port_ > 0; }
    const std::string& error() const { return error_; }
    int port() const { return port_; }
    std::string host_field() const { return "127.0.0.1:" + std::to_string(port_); }
    const std::string& user() const { return user_; }
    // An ssh client configuration (for sshfs -F) holding the client key and a
    // known_hosts file of its own, so nothing of the real ~/.ssh is read or written.
    const std::string& client_config() const { return client_config_; }
    // Authorizes another key instead of the client's (a wrong-key login then fails).
    void replace_client_key();

  private:
    ServerProcess process_;
    std::string folder_, user_, client_config_, error_;
    int port_ = 0;
};

// A server that takes connections and never says a word: the kernel completes
// each connection into the listen queue, nobody ever accepts or answers.
class SilentServer {
  public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    int port() const { return port_; }
    std::string host_field() const { return "127.0.0.1:" + std::to_string(port_); }

  private:
    int fd_ = -1;
    int port_ = 0;
};
