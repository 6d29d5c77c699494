// Mounting servers into $HOME/MOUNT/<host> and unmounting them, with the
// run-time state (last host, mounted folders) and the reports each step makes.
// Everything that waits on a server runs as a child process watched from the
// GLib main loop, so the caller never blocks; `done` runs on the main loop.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shell/log_text.h"

enum class RemoteKind { Ftp, Sftp };

struct MountRequest {
    RemoteKind kind = RemoteKind::Sftp;
    std::string host; // as typed, ":PORT" included; also the mount folder's name
    std::string user;
    std::string password; // FTP only
    std::string path;     // SFTP only: the folder on the server
    bool from_history = false;
    // The history file a successful dialog mount adds its line to; empty: none.
    std::string history_file;
};

enum class RemoteIndicator { Unchanged, Ok, Net, Stop };

// One log entry: `format` with its "%s" (if any) filled by `argument`.
struct ReportLine {
    std::string format;
    std::string argument;
    int kind; // LM_ERROR, LM_NORMAL, LM_ADVICE
};

// What a mount or unmount tells the user, for the window to show.
struct RemoteReport {
    std::vector<ReportLine> lines;
    std::string status;
    std::string notification; // empty: none
    RemoteIndicator indicator = RemoteIndicator::Ok;
};

struct MountOutcome {
    bool ok = false;
    bool reused = false; // the folder was mounted already and is used as it is
    std::string folder;  // the mount folder
    std::string command; // the mount command as a shell line (no password), empty when none ran
    RemoteReport report;
};

// Checks the fields, finds the tool, prepares the folder (reusing a live mount,
// detaching a dead one), runs the tool within its time limit and confirms the
// mount in the kernel's table. On success the folder joins the unmount list and
// the host becomes the last host; on failure nothing is remembered and a folder
// made for the mount is removed again when empty. `done` may run before this
// returns when nothing had to be started.
void mount_remote_async(const MountRequest& request, std::function<void(const MountOutcome&)> done);

struct FolderUnmount {
    std::string folder;
    bool done = false;   // no longer mounted ("not mounted" counts as done)
    std::string message; // the tool's message when not done
    bool busy = false;
};

struct UnmountOutcome {
    std::vector<FolderUnmount> folders; // in mount order
    RemoteReport report;
};

// Unmounts every folder of the list, one by one; folders that stay mounted stay
// in the list, each reported with its folder.
void unmount_all_async(std::function<void(const UnmountOutcome&)> done);

// The run-time state, empty at start-up.
struct RemoteState {
    std::string last_host;            // empty: none
    std::vector<std::string> mounted; // folders to unmount, in mount order
    bool ssh_agent_asked = false;     // ssh-add ran once already
    bool ftp_modes_advice_given = false;
    std::vector<std::string> in_progress; // folders with a mount under way
};
const RemoteState& remote_state();
void remote_state_reset();

// An ssh client configuration file handed to sshfs with -F instead of the user's
// (tests point it at their own server's keys); empty restores the default.
void set_sftp_ssh_config(std::string path);
