#include "support/remote_servers.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <glib-unix.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "remote/mount_table.h"
#include "shell/commands.h"
#include "support/temp_home.h"

namespace {
int bound_socket(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int port_of(int fd) {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
    return ntohs(addr.sin_port);
}

bool accepts_connections(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

bool exited(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == pid;
}

// Starts argv with stdin from `input` (when given), stdout into `out_fd` (or the
// log), stderr into the log. Returns the pid, 0 on failure with `error` set.
pid_t start(const std::vector<std::string>& argv, const std::string* input, int out_fd,
            const std::string& log_file, std::string& error) {
    std::vector<const gchar*> args;
    for (const auto& a : argv)
        args.push_back(a.c_str());
    args.push_back(nullptr);
    int log = ::open(log_file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    int writer = -1;
    if (input) {
        ::close(in);
        int fds[2];
        if (!g_unix_open_pipe(fds, FD_CLOEXEC, nullptr)) {
            error = "pipe";
            ::close(log);
            return 0;
        }
        in = fds[0];
        writer = fds[1];
    }
    GError* err = nullptr;
    GPid pid = 0;
    gboolean ok = g_spawn_async_with_pipes_and_fds(
        nullptr, args.data(), nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr, in,
        out_fd >= 0 ? out_fd : log, log, nullptr, nullptr, 0, &pid, nullptr, nullptr, nullptr,
        &err);
    ::close(in);
    ::close(log);
    if (!ok) {
        error = err->message;
        g_error_free(err);
        if (writer >= 0) ::close(writer);
        return 0;
    }
    if (writer >= 0) {
        [[maybe_unused]] ssize_t n = ::write(writer, input->data(), input->size());
        ::close(writer);
    }
    return pid;
}

std::string run_quiet(const std::vector<std::string>& argv) {
    ArgvCommand c;
    c.argv = argv;
    c.time_limit_ms = 20000;
    ArgvResult r = run_argv_sync(c);
    return r.ok() ? "" : argv[0] + ": " + r.errors;
}
} // namespace

ServerProcess::~ServerProcess() {
    stop();
}

void ServerProcess::stop() {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (exited(pid)) {
            pid = 0;
            return;
        }
        g_usleep(10000);
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    pid = 0;
}

int free_tcp_port() {
    int fd = bound_socket(0);
    if (fd < 0) return 0;
    int port = port_of(fd);
    ::close(fd);
    return port;
}

std::optional<std::string> fuse_unusable_reason() {
    static const std::optional<std::string> reason = []() -> std::optional<std::string> {
        int fd = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
        if (fd < 0) return std::string("FUSE not usable: /dev/fuse: ") + g_strerror(errno);
        ::close(fd);
        gchar* fusermount = g_find_program_in_path("fusermount3");
        if (!fusermount) fusermount = g_find_program_in_path("fusermount");
        if (!fusermount)
            return std::string("FUSE not usable: fusermount3 is not installed (fuse3)");
        std::string unmounter = fusermount;
        g_free(fusermount);
        gchar* rclone = g_find_program_in_path("rclone");
        if (!rclone) return std::string("mount tests need rclone, which is not installed");
        std::string rclone_path = rclone;
        g_free(rclone);
        // A real mount of an in-memory remote: /dev/fuse alone does not prove that
        // this process may mount (containers often refuse).
        gchar* dir = g_dir_make_tmp("orvane-fuse-probe-XXXXXX", nullptr);
        if (!dir) return std::string("FUSE probe: no temporary folder");
        std::string folder = std::string(dir) + "/m";
        g_free(dir);
        g_mkdir(folder.c_str(), 0700);
        ArgvCommand probe;
        probe.argv = {rclone_path, "mount", ":memory:", folder, "--daemon", "--daemon-wait", "5s"};
        probe.env = {{"RCLONE_CONFIG", "/dev/null"},
                     {"XDG_CACHE_HOME", folder + ".cache"},
                     {"HOME", folder + ".home"}};
        probe.time_limit_ms = 15000;
        ArgvResult r = run_argv_sync(probe);
        const bool mounted = folder_state(folder) == FolderState::Mounted;
        ArgvCommand off;
        off.argv = {unmounter, "-uz", folder};
        off.time_limit_ms = 5000;
        if (folder_state(folder) != FolderState::Absent) run_argv_sync(off);
        ArgvCommand rm;
        rm.argv = {"rm", "-rf", folder.substr(0, folder.size() - 2)};
        run_argv_sync(rm);
        if (!mounted) return "FUSE not usable: probe mount failed: " + r.errors;
        return std::nullopt;
    }();
    return reason;
}

FtpServer::FtpServer(const std::string& root, const std::string& user, const std::string& password,
                     const std::string& log_file) {
    if (!g_file_test("/usr/bin/python3", G_FILE_TEST_IS_EXECUTABLE)) {
        error_ = "/usr/bin/python3 is missing";
        return;
    }
    // The port comes back on stdout once the server listens: no race for a free port.
    static const char* const kScript =
        "import sys\n"
        "from pyftpdlib.authorizers import DummyAuthorizer\n"
        "from pyftpdlib.handlers import FTPHandler\n"
        "from pyftpdlib.servers import FTPServer\n"
        "user = sys.stdin.readline().rstrip('\\n')\n"
        "password = sys.stdin.readline().rstrip('\\n')\n"
        "auth = DummyAuthorizer()\n"
        "auth.add_user(user, password, sys.argv[1], perm='elradfmwMT')\n"
        "class Handler(FTPHandler):\n"
        "    authorizer = auth\n"
        "server = FTPServer(('127.0.0.1', 0), Handler)\n"
        "print(server.socket.getsockname()[1], flush=True)\n"
        "server.serve_forever()\n";
    int fds[2];
    if (!g_unix_open_pipe(fds, FD_CLOEXEC, nullptr)) {
        error_ = "pipe";
        return;
    }
    const std::string input = user + "\n" + password + "\n";
    process_.pid =
        start({"/usr/bin/python3", "-c", kScript, root}, &input, fds[1], log_file, error_);
    ::close(fds[1]);
    std::string line;
    pollfd p{fds[0], POLLIN, 0};
    const gint64 deadline = g_get_monotonic_time() + 15 * G_USEC_PER_SEC;
    while (process_.pid && line.find('\n') == std::string::npos &&
           g_get_monotonic_time() < deadline) {
        if (::poll(&p, 1, 100) <= 0) continue;
        char buf[64];
        ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        line.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    port_ = std::atoi(line.c_str());
    if (port_ <= 0) {
        if (error_.empty()) error_ = "pyftpdlib did not start: " + read_file(log_file);
        process_.stop();
        port_ = 0;
    }
}

SshServer::SshServer(const std::string& folder) : folder_(folder), user_(g_get_user_name()) {
    const std::string host_key = folder + "/host_key";
    const std::string client_key = folder + "/client_key";
    for (const auto& key : {host_key, client_key}) {
        if (!g_file_test(key.c_str(), G_FILE_TEST_EXISTS))
            error_ =
                run_quiet({"ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-C", "test", "-f", key});
        if (!error_.empty()) return;
    }
    write_file(folder + "/authorized_keys", read_file(client_key + ".pub"));
    client_config_ = folder + "/ssh_config";
    write_file(client_config_, "Host *\n"
                               "  IdentityFile " +
                                   client_key +
                                   "\n"
                                   "  IdentitiesOnly yes\n"
                                   "  IdentityAgent none\n"
                                   "  UserKnownHostsFile " +
                                   folder +
                                   "/known_hosts\n"
                                   "  GlobalKnownHostsFile /dev/null\n"
                                   "  LogLevel ERROR\n");
    // sshd refuses to start without its privilege separation folder.
    g_mkdir_with_parents("/run/sshd", 0755);
    for (int attempt = 0; attempt < 3 && !port_; ++attempt) {
        const int port = free_tcp_port();
        const std::string config = folder + "/sshd_config";
        write_file(config, "ListenAddress 127.0.0.1\n"
                           "Port " +
                               std::to_string(port) +
                               "\n"
                               "HostKey " +
                               host_key +
                               "\n"
                               "AuthorizedKeysFile " +
                               folder +
                               "/authorized_keys\n"
                               "PubkeyAuthentication yes\n"
                               "PasswordAuthentication no\n"
                               "KbdInteractiveAuthentication no\n"
                               "PermitRootLogin prohibit-password\n"
                               "UsePAM no\n"
                               "StrictModes no\n"
                               "PidFile none\n"
                               "Subsystem sftp internal-sftp\n");
        process_.pid = start({"/usr/sbin/sshd", "-D", "-f", config, "-E", folder + "/sshd.log"},
                             nullptr, -1, folder + "/sshd.out", error_);
        if (!process_.pid) return;
        const gint64 deadline = g_get_monotonic_time() + 10 * G_USEC_PER_SEC;
        while (g_get_monotonic_time() < deadline) {
            if (accepts_connections(port)) {
                port_ = port;
                break;
            }
            if (exited(process_.pid)) {
                process_.pid = 0;
                break;
            }
            g_usleep(20000);
        }
        if (!port_) process_.stop();
    }
    if (!port_) error_ = "sshd did not start: " + read_file(folder + "/sshd.log");
}

void SshServer::replace_client_key() {
    const std::string other = folder_ + "/other_key";
    if (!g_file_test(other.c_str(), G_FILE_TEST_EXISTS))
        run_quiet({"ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-C", "other", "-f", other});
    write_file(folder_ + "/authorized_keys", read_file(other + ".pub"));
}

SilentServer::SilentServer() {
    fd_ = bound_socket(0);
    if (fd_ >= 0 && ::listen(fd_, 64) == 0) port_ = port_of(fd_);
}

SilentServer::~SilentServer() {
    if (fd_ >= 0) ::close(fd_);
}
