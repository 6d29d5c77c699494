// map_watch: starts a program and prints how many milliseconds passed from the
// exec to the mapping of its first top-level window, then ends it.
//
//   map_watch [--timeout SECONDS] PROGRAM [ARGS...]
//
// The watcher listens to the root window's substructure before it forks, so no
// map can slip by between the start and the first look, and it takes the
// window's _NET_WM_PID to tell the program's window from anyone else's on a
// shared display. Polling from outside (xdotool --sync) wakes up every few
// tens of milliseconds; a MapNotify arrives as the server maps the window.
//
// The child runs in a process group of its own, which is ended (TERM, then KILL)
// once the window is seen, so helpers the program spawned go with it.
// Prints "timeout" and exits 2 when no window came in time; 3 when the
// program exited first.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

bool window_pid_is(Display* dpy, Window w, pid_t pid) {
    static Atom net_wm_pid = XInternAtom(dpy, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool match = false;
    if (XGetWindowProperty(dpy, w, net_wm_pid, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        if (type == XA_CARDINAL && format == 32 && count == 1)
            match = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid;
        XFree(data);
    }
    return match;
}

// Windows that die between the event and the property read are no error.
int ignore_x_errors(Display*, XErrorEvent*) {
    return 0;
}

void end_group(pid_t pid) {
    kill(-pid, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            kill(-pid, SIGKILL); // helpers left in the group
            return;
        }
        usleep(20 * 1000);
    }
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char** argv) {
    int first = 1;
    double timeout_s = 30;
    if (argc > 2 && std::strcmp(argv[1], "--timeout") == 0) {
        timeout_s = std::atof(argv[2]);
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: map_watch [--timeout SECONDS] PROGRAM [ARGS...]\n");
        return 64;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "map_watch: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(ignore_x_errors);
    Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);

    const auto start = Clock::now();
    pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return 1;
    }
    if (pid == 0) {
        setpgid(0, 0);
        execvp(argv[first], argv + first);
        std::perror("exec");
        _exit(127);
    }
    setpgid(pid, pid);

    const int fd = ConnectionNumber(dpy);
    const auto deadline = start + std::chrono::duration<double>(timeout_s);
    for (;;) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type != MapNotify || ev.xmap.override_redirect) continue;
            if (!window_pid_is(dpy, ev.xmap.window, pid)) continue;
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            std::printf("%.1f\n", ms);
            std::fflush(stdout);
            end_group(pid);
            XCloseDisplay(dpy);
            return 0;
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            std::printf("exited\n");
            kill(-pid, SIGKILL);
            XCloseDisplay(dpy);
            return 3;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            std::printf("timeout\n");
            end_group(pid);
            XCloseDisplay(dpy);
            return 2;
        }
        // Wake for X events, or now and then to notice an early exit.
        pollfd p{fd, POLLIN, 0};
        int wait_ms = left.count() < 50 ? static_cast<int>(left.count()) : 50;
        if (poll(&p, 1, wait_ms) < 0 && errno != EINTR) break;
    }
    end_group(pid);
    XCloseDisplay(dpy);
    return 1;
}
