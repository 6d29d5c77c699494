// Starts the built program the way a user does and drives it from outside:
// environment, arguments, working directory, window close and signals.
#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

class OrvaneProcess {
public:
    // Starts the program with HOME=home in the folder cwd.
    OrvaneProcess(const std::string& home, const std::string& cwd,
                  const std::vector<std::string>& args = {});
    ~OrvaneProcess();

    // Waits until the main window is mapped; false after the timeout.
    bool wait_for_window(double seconds = 30);
    // Asks the window manager protocol to close the main window, as a user's click does.
    bool close_window();
    void send_signal(int signum);
    // The exit code when the process exited normally, none on timeout or a kill.
    std::optional<int> wait_exit(double seconds = 30);
    // How the process ended, for failure messages ("running" while it runs).
    std::string describe_end();

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
    bool try_reap();
};
