#include "program.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <csignal>
#include <cstring>
#include <glib.h>
#include <sys/wait.h>
#include <thread>

namespace {

// Windows of other tests come and go while the tree is walked; a request about
// one that just went fails with BadWindow, and Xlib's default handler would
// exit the test process and leave the started program running (and holding
// ctest's output pipe). Such a failure only means "not this window".
int ignore_x_error(Display*, XErrorEvent*) { return 0; }

struct XErrorsIgnored {
    XErrorHandler previous = XSetErrorHandler(ignore_x_error);
    ~XErrorsIgnored() { XSetErrorHandler(previous); }
};

// The program's own top-level windows carry the class "Orvane"; the title is
// the current document's path once one is open, so it cannot identify them.
bool is_main_window_class(Display* dpy, Window w) {
    XClassHint hint{};
    if (!XGetClassHint(dpy, w, &hint)) return false;
    bool ours = hint.res_class && std::strcmp(hint.res_class, "Orvane") == 0;
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    Window owner = 0;
    return ours && !XGetTransientForHint(dpy, w, &owner);
}

long window_pid(Display* dpy, Window w) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, "_NET_WM_PID", True), 0, 1, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
        data && count == 1 && format == 32)
        pid = *reinterpret_cast<long*>(data);
    if (data) XFree(data);
    return pid;
}

// Finds the mapped main window of process `pid`; other tests may show their own
// Orvane windows on the same display meanwhile.
Window find_main_window(Display* dpy, Window root, pid_t pid) {
    Window parent_ret, root_ret, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(dpy, root, &root_ret, &parent_ret, &children, &count)) return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attrs;
        if (window_pid(dpy, children[i]) == pid && is_main_window_class(dpy, children[i]) &&
            XGetWindowAttributes(dpy, children[i], &attrs) && attrs.map_state == IsViewable)
            found = children[i];
        else
            found = find_main_window(dpy, children[i], pid);
    }
    if (children) XFree(children);
    return found;
}

bool poll_until(double seconds, const auto& done) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

} // namespace

OrvaneProcess::OrvaneProcess(const std::string& home, const std::string& cwd,
                             const std::vector<std::string>& args) {
    std::vector<std::string> argv_s{ORVANE_BINARY};
    argv_s.insert(argv_s.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argv_s) argv.push_back(a.data());
    argv.push_back(nullptr);

    gchar** env = g_get_environ();
    env = g_environ_setenv(env, "HOME", home.c_str(), TRUE);
    env = g_environ_setenv(env, "ORVANE_DATADIR", ORVANE_SOURCE_DATADIR, TRUE);
    env = g_environ_setenv(env, "NO_AT_BRIDGE", "1", TRUE);
    env = g_environ_setenv(env, "GSETTINGS_BACKEND", "memory", TRUE);
    // The program speaks French whatever language the caller reads.
    env = g_environ_unsetenv(env, "LANGUAGE");
    env = g_environ_setenv(env, "LC_MESSAGES", "C.UTF-8", TRUE);
    GPid pid = 0;
    GError* error = nullptr;
    if (g_spawn_async(cwd.c_str(), argv.data(), env, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr,
                      &pid, &error))
        pid_ = pid;
    else
        g_error_free(error);
    g_strfreev(env);
}

OrvaneProcess::~OrvaneProcess() {
    if (pid_ > 0 && !reaped_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool OrvaneProcess::wait_for_window(double seconds) {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return false;
    XErrorsIgnored ignored;
    // A program that died while starting has no window to wait for.
    bool ok = poll_until(seconds, [&] {
        return try_reap() || find_main_window(dpy, DefaultRootWindow(dpy), pid_) != 0;
    }) && !reaped_;
    XCloseDisplay(dpy);
    return ok;
}

bool OrvaneProcess::close_window() {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return false;
    XErrorsIgnored ignored;
    Window w = find_main_window(dpy, DefaultRootWindow(dpy), pid_);
    if (w) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = w;
        ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(dpy, w, False, NoEventMask, &ev);
        XFlush(dpy);
    }
    XCloseDisplay(dpy);
    return w != 0;
}

void OrvaneProcess::send_signal(int signum) {
    if (pid_ > 0 && !reaped_) kill(pid_, signum);
}

bool OrvaneProcess::try_reap() {
    if (!reaped_ && pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_) reaped_ = true;
    return reaped_;
}

std::optional<int> OrvaneProcess::wait_exit(double seconds) {
    if (pid_ <= 0) return std::nullopt;
    bool done = poll_until(seconds, [&] { return try_reap(); });
    if (!done || !WIFEXITED(status_)) return std::nullopt;
    return WEXITSTATUS(status_);
}

std::string OrvaneProcess::describe_end() {
    if (pid_ <= 0) return "never started";
    if (!try_reap()) return "still running";
    if (WIFEXITED(status_)) return "exited with " + std::to_string(WEXITSTATUS(status_));
    if (WIFSIGNALED(status_)) return std::string("killed by ") + strsignal(WTERMSIG(status_));
    return "ended";
}
