// Mounted servers against the local disk: a 20 MB save (temporary file, flush,
// rename) through an FTP mount (rclone, write cache off) and an SFTP mount
// (sshfs), beside the same save on the local disk; and the time from asking for a
// mount to the first listing of its folder. The servers run on 127.0.0.1.
#include <benchmark/benchmark.h>
#include <chrono>
#include <glib.h>
#include <glib/gstdio.h>
#include <memory>

#include "documents/safe_write.h"
#include "remote/remote_mount.h"
#include "support/remote_servers.h"
#include "support/temp_home.h"

namespace {

constexpr std::size_t kSaveBytes = 20u * 1024 * 1024;

const std::string& save_bytes() {
    static const std::string text = [] {
        const std::string line = "<?php echo \"ligne de test 0123456789\"; ?>\n";
        std::string t;
        while (t.size() < kSaveBytes)
            t += line;
        t.resize(kSaveBytes);
        return t;
    }();
    return text;
}

// One home, one FTP server and one sshd for the whole run.
struct Servers {
    TempHome home;
    std::unique_ptr<FtpServer> ftp;
    std::unique_ptr<SshServer> ssh;
    std::string ftp_root, sftp_root;
    Servers() {
        ftp_root = home.file("ftp");
        sftp_root = home.file("sftp");
        g_mkdir(ftp_root.c_str(), 0700);
        g_mkdir(sftp_root.c_str(), 0700);
        g_mkdir(home.file("sshd").c_str(), 0700);
        ftp = std::make_unique<FtpServer>(ftp_root, "bob", "pw", home.file("ftp.log"));
        ssh = std::make_unique<SshServer>(home.file("sshd"));
        set_sftp_ssh_config(ssh->client_config());
    }
};

Servers* servers(benchmark::State& state) {
    if (auto why = fuse_unusable_reason()) {
        state.SkipWithError(why->c_str());
        return nullptr;
    }
    static Servers s;
    if (!s.ftp->running() || !s.ssh->running()) {
        state.SkipWithError("test servers did not start");
        return nullptr;
    }
    return &s;
}

MountRequest request_for(const Servers& s, RemoteKind kind) {
    if (kind == RemoteKind::Ftp) return {kind, s.ftp->host_field(), "bob", "pw", "", true, ""};
    return {kind, s.ssh->host_field(), s.ssh->user(), "", s.sftp_root, true, ""};
}

bool mount(const MountRequest& request) {
    std::optional<bool> ok;
    mount_remote_async(request, [&](const MountOutcome& o) { ok = o.ok; });
    while (!ok)
        g_main_context_iteration(nullptr, TRUE);
    return *ok;
}

void unmount() {
    bool done = false;
    unmount_all_async([&](const UnmountOutcome&) { done = true; });
    while (!done)
        g_main_context_iteration(nullptr, TRUE);
}

void save_20mb(benchmark::State& state, const std::string& folder) {
    const std::string path = folder + "/save.php";
    for (auto _ : state)
        if (!write_file_safely(path, save_bytes()).ok) state.SkipWithError("save failed");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kSaveBytes));
}

void BM_BaselineLocalSave20MB(benchmark::State& state) {
    TempHome local;
    save_20mb(state, local.path());
}
BENCHMARK(BM_BaselineLocalSave20MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void save_through_mount(benchmark::State& state, RemoteKind kind) {
    Servers* s = servers(state);
    if (!s) return;
    const MountRequest request = request_for(*s, kind);
    if (!mount(request)) {
        state.SkipWithError("mount failed");
        return;
    }
    save_20mb(state, remote_state().mounted.back());
    unmount();
    // The bytes must have reached the server, not only a cache.
    const std::string& root = kind == RemoteKind::Ftp ? s->ftp_root : s->sftp_root;
    GStatBuf st;
    if (g_stat((root + "/save.php").c_str(), &st) != 0 || st.st_size != (goffset)kSaveBytes)
        state.SkipWithError("the server's file is not the saved one");
}

void BM_FtpMountSave20MB(benchmark::State& state) {
    save_through_mount(state, RemoteKind::Ftp);
}
BENCHMARK(BM_FtpMountSave20MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_SftpMountSave20MB(benchmark::State& state) {
    save_through_mount(state, RemoteKind::Sftp);
}
BENCHMARK(BM_SftpMountSave20MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void mount_and_list(benchmark::State& state, RemoteKind kind) {
    state.SetLabel("baseline: none");
    Servers* s = servers(state);
    if (!s) return;
    const MountRequest request = request_for(*s, kind);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!mount(request)) {
            state.SkipWithError("mount failed");
            return;
        }
        GDir* dir = g_dir_open(remote_state().mounted.back().c_str(), 0, nullptr);
        while (dir && g_dir_read_name(dir)) {
        }
        if (dir) g_dir_close(dir);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        unmount();
    }
}

void BM_FtpMountAndFirstListing(benchmark::State& state) {
    mount_and_list(state, RemoteKind::Ftp);
}
BENCHMARK(BM_FtpMountAndFirstListing)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

void BM_SftpMountAndFirstListing(benchmark::State& state) {
    mount_and_list(state, RemoteKind::Sftp);
}
BENCHMARK(BM_SftpMountAndFirstListing)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

} // namespace
