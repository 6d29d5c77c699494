// A temporary folder for tests that run built command lines through /bin/sh:
// stub programs that log how they were called, and the folder's listing to
// prove that nothing else was created.
#pragma once

#include <set>
#include <string>

#include <glib.h>
#include <glib/gstdio.h>

#include "shell/commands.h"
#include "support/temp_home.h"

class StubSandbox {
  public:
    StubSandbox() : bin_(home_.file("bin")), log_(home_.file("log")) {
        g_mkdir(bin_.c_str(), 0700);
    }
    std::string dir() const { return home_.path(); }
    std::string bin() const { return bin_; }
    std::string path(const std::string& name) const { return home_.file(name); }

    // An executable at `path` that appends "<tag>:<its folder>", then each of its
    // arguments in <…>, then a line feed to the log; it exits with `status`.
    void stub(const std::string& path, const std::string& tag, int status = 0) const {
        const std::string log = shell_quote(log_);
        write_file(path, "#!/bin/sh\nprintf '%s:%s' " + shell_quote(tag) + " \"$PWD\" >> " + log +
                             "\nfor a; do printf '<%s>' \"$a\" >> " + log + "; done\necho >> " +
                             log + "\nexit " + std::to_string(status) + "\n");
        g_chmod(path.c_str(), 0700);
    }
    // The same as a program of that name in bin/.
    void program(const std::string& name, int status = 0) const {
        stub(bin_ + "/" + name, name, status);
    }

    // Runs `text` through /bin/sh in this folder with bin/ first on PATH.
    int run(const std::string& text) const {
        return run_shell_sync("cd " + shell_quote(dir()) +
                              " || exit 99\nPATH=" + shell_quote(bin_) + ":\"$PATH\"\n" + text);
    }

    std::string log() const { return read_file(log_); }
    void clear_log() const { write_file(log_, ""); }

    // The folder's entries apart from the log.
    std::set<std::string> listing() const {
        std::set<std::string> names;
        if (GDir* d = g_dir_open(dir().c_str(), 0, nullptr)) {
            while (const gchar* n = g_dir_read_name(d))
                names.insert(n);
            g_dir_close(d);
        }
        names.erase("log");
        return names;
    }

  private:
    TempHome home_;
    std::string bin_;
    std::string log_;
};
