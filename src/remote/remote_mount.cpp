#include "remote/remote_mount.h"

#include <algorithm>
#include <cerrno>
#include <glib.h>
#include <glib/gi18n-lib.h>
#include <glib/gstdio.h>
#include <memory>

#include "remote/mount_plans.h"
#include "remote/mount_table.h"
#include "remote/remote_fields.h"
#include "remote/remote_history.h"
#include "shell/log_text.h"
#include "shell/message_format.h"

namespace {
RemoteState& state() {
    static RemoteState s;
    return s;
}

std::string& ssh_config() {
    static std::string path;
    return path;
}

// What the user reads of a tool's complaint: its last lines, valid UTF-8.
std::string tool_message(const ArgvResult& result) {
    std::string text = result.errors.empty() ? result.output : result.errors;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r'))
        text.pop_back();
    constexpr std::size_t kShown = 1000;
    if (text.size() > kShown) text = text.substr(text.size() - kShown);
    return valid_utf8(std::move(text));
}

void forget_in_progress(const std::string& folder) {
    auto& list = state().in_progress;
    list.erase(std::remove(list.begin(), list.end(), folder), list.end());
}

void remember_mounted(const std::string& folder, const std::string& host) {
    auto& list = state().mounted;
    if (std::find(list.begin(), list.end(), folder) == list.end()) list.push_back(folder);
    state().last_host = host;
}

ArgvResult detach(const RemoteTools& tools, const std::string& folder) {
    ArgvCommand c = unmount_command(tools.fusermount, folder, true);
    c.env = {{"LC_ALL", "C"}};
    return run_argv_sync(c);
}

struct MountJob {
    MountRequest request;
    HostAddress address;
    RemoteTools tools;
    bool created = false;
    bool holds_slot = false; // the folder is in the in-progress list for this job
    std::function<void(const MountOutcome&)> done;
    MountOutcome out;
};
using Job = std::shared_ptr<MountJob>;

void refuse(const Job& job, std::vector<ReportLine> lines) {
    if (job->holds_slot) forget_in_progress(job->out.folder);
    job->out.ok = false;
    job->out.report.lines = std::move(lines);
    job->out.report.status = _("Mount [ERROR]");
    job->out.report.notification = _("Mount [ERROR]");
    job->out.report.indicator = RemoteIndicator::Stop;
    job->done(job->out);
}

// A failed mount leaves nothing behind: no half mount, no folder we made.
void fail_after_run(const Job& job, std::vector<ReportLine> lines) {
    const std::string& folder = job->out.folder;
    if (is_mount_point(folder)) detach(job->tools, folder);
    if (job->created) g_rmdir(folder.c_str());
    refuse(job, std::move(lines));
}

void succeed(const Job& job) {
    const MountRequest& r = job->request;
    const bool ftp = r.kind == RemoteKind::Ftp;
    if (job->holds_slot) forget_in_progress(job->out.folder);
    remember_mounted(job->out.folder, r.host);
    auto& report = job->out.report;
    if (job->out.reused)
        report.lines.push_back({_("%s est déjà monté"), job->out.folder, LM_NORMAL});
    report.lines.push_back({ftp ? _("%s montage FTP dans le répertoire Orvane_MONTAGE_SFTP")
                                : _("%s montage SFTP dans le répertoire Orvane_MONTAGE_SFTP"),
                            r.host, LM_NORMAL});
    if (ftp && !state().ftp_modes_advice_given) {
        state().ftp_modes_advice_given = true;
        report.lines.push_back(
            {_("Sur un montage FTP, le serveur remet les droits des fichiers enregistrés à sa "
               "valeur par défaut (souvent 0644) : refaites un chmod si un script doit rester "
               "exécutable"),
             "", LM_ADVICE});
    }
    if (!r.from_history && !r.history_file.empty()) {
        const std::string line =
            ftp ? ftp_history_line(r.host, r.user) : sftp_history_line(r.host, r.user, r.path);
        std::string why;
        if (!append_history_line(r.history_file, line, &why))
            report.lines.push_back(
                {_("Ne peut pas écrire %s"), r.history_file + " (" + why + ")", LM_ERROR});
    }
    if (r.from_history)
        report.status = ftp ? _("Mount FTP [OK]") : _("Mount SFTP [OK]");
    else
        report.status = _("Mount [OK]");
    report.notification = ftp ? _("Mount FTP") : _("Mount SFTP");
    report.indicator = RemoteIndicator::Net;
    job->out.ok = true;
    job->done(job->out);
}

void mount_finished(const Job& job, const ArgvResult& result) {
    if (result.ok() && is_mount_point(job->out.folder)) {
        succeed(job);
        return;
    }
    std::vector<ReportLine> lines;
    if (result.timed_out)
        lines.push_back({_("%s : le serveur ne répond pas, montage abandonné après 30 s"),
                         job->request.host, LM_ERROR});
    else
        lines.push_back({_("%s : échec du montage"), job->request.host, LM_ERROR});
    const std::string message = tool_message(result);
    if (!message.empty()) lines.push_back({"%s", message, LM_ERROR});
    if (job->request.kind == RemoteKind::Sftp && !result.timed_out)
        lines.push_back({_("Vérifiez que le serveur accepte votre clef ssh, que la clef est "
                           "chargée dans l'agent (ssh-add) et que la clef du serveur n'a pas "
                           "changé (~/.ssh/known_hosts)"),
                         "", LM_ADVICE});
    fail_after_run(job, std::move(lines));
}

void run_mount(const Job& job, ArgvCommand command) {
    job->out.command = argv_to_shell_line(command.argv);
    run_argv_async(command, [job](const ArgvResult& result) { mount_finished(job, result); });
}

void start_ftp(const Job& job) {
    const MountRequest& r = job->request;
    if (!job->tools.curlftpfs.empty()) {
        run_mount(job, curlftpfs_mount_command(job->tools.curlftpfs, job->address, r.user,
                                               r.password, job->out.folder));
        return;
    }
    run_argv_async(
        rclone_obscure_command(job->tools.rclone, r.password), [job](const ArgvResult& result) {
            std::string obscured = result.output;
            while (!obscured.empty() && (obscured.back() == '\n' || obscured.back() == '\r'))
                obscured.pop_back();
            if (!result.ok() || obscured.empty()) {
                std::vector<ReportLine> lines{
                    {_("%s : échec du montage"), job->request.host, LM_ERROR}};
                const std::string message = tool_message(result);
                if (!message.empty()) lines.push_back({"%s", message, LM_ERROR});
                fail_after_run(job, std::move(lines));
                return;
            }
            run_mount(job, rclone_mount_command(job->tools.rclone, job->address, job->request.user,
                                                obscured, job->out.folder));
        });
}

void start_sftp(const Job& job) {
    auto mount = [job] {
        const MountRequest& r = job->request;
        run_mount(job, sshfs_mount_command(job->tools.sshfs, job->address, r.user, r.path,
                                           job->out.folder, ssh_config()));
    };
    // The agent is asked once per run; without a terminal ssh-add cannot stop to
    // ask for a passphrase, and its answer changes nothing about the mount.
    if (!state().ssh_agent_asked && !job->tools.ssh_add.empty()) {
        state().ssh_agent_asked = true;
        run_argv_async(ssh_add_command(job->tools.ssh_add),
                       [mount](const ArgvResult&) { mount(); });
        return;
    }
    mount();
}

// The refusal for the first field that cannot be used, or nothing.
std::vector<ReportLine> field_errors(const MountRequest& r, std::optional<HostAddress>& address) {
    address = parse_host_field(r.host);
    if (!address)
        return {{_("Nom du serveur invalide : « %s » (un nom, une adresse IPv4 ou une adresse "
                   "IPv6 entre crochets, suivi au besoin de :PORT)"),
                 r.host, LM_ERROR}};
    if (!valid_user_field(r.user))
        return {{_("Utilisateur invalide : « %s » (lettres, chiffres, « . », « _ » et « - », "
                   "sans « - » au début)"),
                 r.user, LM_ERROR}};
    if (r.kind == RemoteKind::Ftp && !valid_password_field(r.password))
        return {{_("Le mot de passe ne peut pas contenir de caractère de contrôle"), "", LM_ERROR}};
    if (r.kind == RemoteKind::Sftp && !valid_remote_path_field(r.path))
        return {{_("Chemin sur le serveur invalide : « %s » (ni blanc ni caractère de "
                   "contrôle)"),
                 r.path, LM_ERROR}};
    return {};
}

// Reuses a live mount, detaches a dead one, makes a missing folder, then starts the tool.
void prepare_folder(const Job& job, FolderState found) {
    const std::string& folder = job->out.folder;
    const std::string& host = job->request.host;
    switch (found) {
    case FolderState::Mounted:
        job->out.reused = true;
        succeed(job);
        return;
    case FolderState::Dead: {
        // Left behind by a server that went away: detached before mounting anew.
        const ArgvResult r = detach(job->tools, folder);
        if (is_mount_point(folder)) {
            std::vector<ReportLine> lines{{_("%s : échec du montage"), host, LM_ERROR}};
            if (auto m = tool_message(r); !m.empty()) lines.push_back({"%s", m, LM_ERROR});
            refuse(job, std::move(lines));
            return;
        }
        job->out.report.lines.push_back({_("%s : ancien montage mort détaché"), folder, LM_ADVICE});
        break;
    }
    case FolderState::Absent:
        if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) {
            refuse(job, {{_("Ne peut pas créer le répertoire %s"),
                          folder + " (" + g_strerror(errno) + ")", LM_ERROR}});
            return;
        }
        job->created = true;
        break;
    case FolderState::Plain:
        if (!g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR)) {
            refuse(job, {{_("Ne peut pas créer le répertoire %s"), folder, LM_ERROR}});
            return;
        }
        break;
    }
    if (job->request.kind == RemoteKind::Ftp)
        start_ftp(job);
    else
        start_sftp(job);
}
} // namespace

const RemoteState& remote_state() {
    return state();
}

void remote_state_reset() {
    state() = RemoteState{};
}

void set_sftp_ssh_config(std::string path) {
    ssh_config() = std::move(path);
}

void mount_remote_async(const MountRequest& request,
                        std::function<void(const MountOutcome&)> done) {
    auto job = std::make_shared<MountJob>();
    job->request = request;
    job->done = std::move(done);
    const bool ftp = request.kind == RemoteKind::Ftp;

    std::optional<HostAddress> address;
    if (auto errors = field_errors(request, address); !errors.empty()) {
        refuse(job, std::move(errors));
        return;
    }
    job->address = *address;
    job->tools = find_remote_tools();
    if (ftp && job->tools.curlftpfs.empty() && job->tools.rclone.empty()) {
        refuse(job, {{_("Vous devez installer le package curlftpfs ou rclone pour utiliser la "
                        "fonction montage FTP"),
                      "", LM_ERROR}});
        return;
    }
    if (!ftp && job->tools.sshfs.empty()) {
        refuse(job, {{_("Vous devez installer le package sshfs et avoir une clef ssh valide pour "
                        "utiliser la fonction montage SFTP"),
                      "", LM_ERROR}});
        return;
    }

    const std::string folder = mount_folder_for(request.host);
    job->out.folder = folder;
    auto& busy = state().in_progress;
    if (std::find(busy.begin(), busy.end(), folder) != busy.end()) {
        refuse(job, {{_("%s : un montage est déjà en cours"), request.host, LM_ERROR}});
        return;
    }
    busy.push_back(folder);
    job->holds_slot = true;
    folder_state_async(folder, [job](FolderState found) { prepare_folder(job, found); });
}

namespace {
struct UnmountJob {
    RemoteTools tools;
    std::vector<std::string> folders;
    std::size_t next = 0;
    UnmountOutcome out;
    std::function<void(const UnmountOutcome&)> done;
};

void unmount_finish(const std::shared_ptr<UnmountJob>& job) {
    auto& list = state().mounted;
    auto& report = job->out.report;
    bool all_done = true;
    for (const auto& f : job->out.folders) {
        if (f.done) {
            list.erase(std::remove(list.begin(), list.end(), f.folder), list.end());
            continue;
        }
        all_done = false;
        report.lines.push_back({_("%s : démontage impossible"), f.folder, LM_ERROR});
        if (!f.message.empty()) report.lines.push_back({"%s", f.message, LM_ERROR});
        if (f.busy)
            report.lines.push_back({_("Fermez les fichiers et les terminaux ouverts dans %s, puis "
                                      "démontez à nouveau"),
                                    f.folder, LM_ADVICE});
    }
    if (all_done) {
        report.lines.push_back({_("%s démontage FTP/SFTP"), state().last_host, LM_NORMAL});
        report.status = _("Umount [OK]");
        report.notification = _("Umount SFTP/FTP");
        report.indicator = RemoteIndicator::Net;
    } else {
        report.status = _("Umount [ERROR]");
        report.notification = _("Umount [ERROR]");
        report.indicator = RemoteIndicator::Stop;
    }
    if (list.empty()) state().last_host.clear();
    job->done(job->out);
}

void unmount_next(const std::shared_ptr<UnmountJob>& job) {
    while (job->next < job->folders.size()) {
        const std::string folder = job->folders[job->next++];
        if (!is_mount_point(folder)) {
            job->out.folders.push_back({folder, true, "", false});
            continue;
        }
        if (job->tools.fusermount.empty()) {
            job->out.folders.push_back({folder, false, "fusermount3: not found", false});
            continue;
        }
        ArgvCommand c = unmount_command(job->tools.fusermount, folder, false);
        // Untranslated messages let a busy folder be told from other failures.
        c.env = {{"LC_ALL", "C"}};
        run_argv_async(c, [job, folder](const ArgvResult& result) {
            FolderUnmount f{folder, !is_mount_point(folder), "", false};
            if (!f.done) {
                f.message = tool_message(result);
                f.busy = f.message.find("busy") != std::string::npos;
                // A mount whose server is gone is detached instead.
                if (f.message.find("not connected") != std::string::npos) {
                    detach(job->tools, folder);
                    f.done = !is_mount_point(folder);
                }
                if (result.timed_out && f.message.empty()) f.message = "fusermount: timeout";
            }
            if (f.done) f.message.clear();
            job->out.folders.push_back(std::move(f));
            unmount_next(job);
        });
        return;
    }
    unmount_finish(job);
}
} // namespace

void unmount_all_async(std::function<void(const UnmountOutcome&)> done) {
    auto job = std::make_shared<UnmountJob>();
    job->done = std::move(done);
    if (state().mounted.empty()) {
        job->out.report.lines.push_back({_("Aucun serveur monté en FTP/SFTP"), "", LM_ERROR});
        job->out.report.status = _("Umount [Error]");
        job->out.report.indicator = RemoteIndicator::Unchanged;
        job->done(job->out);
        return;
    }
    job->tools = find_remote_tools();
    job->folders = state().mounted;
    unmount_next(job);
}
