// The terminal tabs against a bare VteTerminal of the same size in the same
// run: 20 MB of `cat` output into a tab, and "New Terminal" up to the shell's
// first prompt. Needs a display (scripts/bench runs it under Xvfb).
//
// The shell is $ORVANE_BENCH_SHELL, else /bin/sh, in every case.
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <functional>
#include <glib/gstdio.h>
#include <gtk/gtk.h>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vte/vte.h>

#include "shell/gobj.h"
#include "shell/ui/main_window.h"
#include "shell/ui/window_parts.h"
#include "terminal/ui/terminal_panel.h"

namespace {

using Clock = std::chrono::steady_clock;

bool spin_until(const std::function<bool()>& done, int timeout_ms = 60000) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!done()) {
        if (Clock::now() > deadline) return false;
        if (!g_main_context_iteration(nullptr, FALSE))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

void spin_for(int ms) {
    spin_until([] { return false; }, ms);
}

std::string shell() {
    const char* chosen = g_getenv("ORVANE_BENCH_SHELL");
    return chosen && *chosen ? chosen : "/bin/sh";
}

struct Setup {
    std::string home;
    std::string big_file;
    int width = 0, height = 0; // the tab terminal's size
};

Setup& setup() {
    static Setup s;
    return s;
}

// 20 MB of printable lines, 79 characters and a line feed each.
std::string make_big_file(const std::string& dir) {
    std::string line;
    for (int i = 0; i < 79; ++i)
        line += static_cast<char>('!' + (i * 7) % 90);
    line += '\n';
    std::string text;
    text.reserve(20u << 20);
    while (text.size() < (20u << 20))
        text += line;
    const std::string path = dir + "/big.txt";
    g_file_set_contents(path.c_str(), text.data(), static_cast<gssize>(text.size()), nullptr);
    return path;
}

bool has_prompt(GtkWidget* terminal) {
    glong column = 0, row = 0;
    vte_terminal_get_cursor_position(VTE_TERMINAL(terminal), &column, &row);
    return column > 0 || row > 0;
}

void feed(GtkWidget* terminal, const std::string& text) {
    vte_terminal_feed_child(VTE_TERMINAL(terminal), text.data(), static_cast<gssize>(text.size()));
}

// A window holding one bare terminal of the tab's size, its shell spawned.
struct BareTerminal {
    GtkWidget* window = nullptr;
    GtkWidget* terminal = nullptr;
    bool exited = false;

    BareTerminal() {
        window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        terminal = vte_terminal_new();
        gtk_widget_set_size_request(terminal, setup().width, setup().height);
        gtk_container_add(GTK_CONTAINER(window), terminal);
        g_signal_connect(terminal, "child-exited", G_CALLBACK(+[](VteTerminal*, gint, gpointer me) {
                             static_cast<BareTerminal*>(me)->exited = true;
                         }),
                         this);
        gtk_widget_show_all(window);
        std::string sh = shell();
        char* argv[] = {sh.data(), nullptr};
        vte_terminal_spawn_async(VTE_TERMINAL(terminal), VTE_PTY_DEFAULT, setup().home.c_str(),
                                 argv, nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr, -1,
                                 nullptr, nullptr, nullptr);
    }
    ~BareTerminal() {
        g_signal_handlers_disconnect_by_data(terminal, this);
        gtk_widget_destroy(window);
        spin_for(50);
    }
};

// The tab's terminal is destroyed when its shell ends (the tab closes).
bool* watch_gone(GtkWidget* terminal) {
    static bool gone;
    gone = false;
    g_signal_connect(
        terminal, "destroy",
        G_CALLBACK(+[](GtkWidget*, gpointer flag) { *static_cast<bool*>(flag) = true; }), &gone);
    return &gone;
}

void BM_BaselineBareTerminalCat20MB(benchmark::State& state) {
    for (auto _ : state) {
        BareTerminal bare;
        if (!spin_until([&] { return has_prompt(bare.terminal); }))
            state.SkipWithError("no prompt");
        const auto start = Clock::now();
        feed(bare.terminal, "cat " + setup().big_file + "; exit\n");
        if (!spin_until([&] { return bare.exited; })) state.SkipWithError("cat never ended");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.SetBytesProcessed(state.iterations() * (20 << 20));
}
BENCHMARK(BM_BaselineBareTerminalCat20MB)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_TerminalTabCat20MB(benchmark::State& state) {
    for (auto _ : state) {
        GtkWidget* terminal = terminal_new_tab();
        bool* gone = watch_gone(terminal);
        if (!gtk_widget_get_mapped(terminal)) state.SkipWithError("the tab is not on show");
        if (!spin_until([&] { return has_prompt(terminal); })) state.SkipWithError("no prompt");
        const auto start = Clock::now();
        terminal_type(terminal, "cat " + setup().big_file + "; exit\n");
        if (!spin_until([&] { return *gone; })) state.SkipWithError("cat never ended");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        spin_for(50);
    }
    state.SetBytesProcessed(state.iterations() * (20 << 20));
}
BENCHMARK(BM_TerminalTabCat20MB)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_BaselineBareShellToPrompt(benchmark::State& state) {
    for (auto _ : state) {
        const auto start = Clock::now();
        auto bare = std::make_unique<BareTerminal>();
        if (!spin_until([&] { return has_prompt(bare->terminal); }))
            state.SkipWithError("no prompt");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        bare.reset();
    }
}
BENCHMARK(BM_BaselineBareShellToPrompt)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

void BM_NewTerminalToPrompt(benchmark::State& state) {
    for (auto _ : state) {
        const auto start = Clock::now();
        GtkWidget* terminal = terminal_new_tab();
        if (!spin_until([&] { return has_prompt(terminal); })) state.SkipWithError("no prompt");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        terminal_close_current();
        spin_for(50);
    }
}
BENCHMARK(BM_NewTerminalToPrompt)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// The same bare terminal as a page of the terminal notebook: what being a tab
// of the main window costs by itself, apart from the tab's own set-up.
void BM_BareTerminalAsTabToPrompt(benchmark::State& state) {
    state.SetLabel("baseline: BM_BaselineBareShellToPrompt");
    GtkNotebook* notebook = GTK_NOTEBOOK(terminal_notebook());
    for (auto _ : state) {
        const auto start = Clock::now();
        GtkWidget* terminal = vte_terminal_new();
        GtkWidget* page = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
        gtk_box_pack_start(GTK_BOX(page), terminal, TRUE, TRUE, 0);
        gtk_widget_show_all(page);
        gtk_notebook_set_current_page(notebook,
                                      gtk_notebook_append_page(notebook, page, gtk_label_new("x")));
        std::string sh = shell();
        char* argv[] = {sh.data(), nullptr};
        vte_terminal_spawn_async(VTE_TERMINAL(terminal), VTE_PTY_DEFAULT, setup().home.c_str(),
                                 argv, nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr, -1,
                                 nullptr, nullptr, nullptr);
        if (!spin_until([&] { return has_prompt(terminal); })) state.SkipWithError("no prompt");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        gtk_widget_destroy(page);
        spin_for(50);
    }
}
BENCHMARK(BM_BareTerminalAsTabToPrompt)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    GCharPtr home(g_dir_make_tmp("orvane-gui-bench-XXXXXX", nullptr));
    if (!home) return 1;
    setup().home = home.get();
    g_setenv("HOME", home.get(), TRUE);
    for (const char* sub : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        const std::string dir = setup().home + "/" + sub;
        g_mkdir_with_parents(dir.c_str(), 0700);
        g_setenv(sub, dir.c_str(), TRUE);
    }
    g_setenv("SHELL", shell().c_str(), TRUE);
    g_setenv("ORVANE_DATADIR", ORVANE_SOURCE_DATADIR, FALSE);
    g_setenv("NO_AT_BRIDGE", "1", FALSE);
    g_setenv("GSETTINGS_BACKEND", "memory", FALSE);
    if (!gtk_init_check(&argc, &argv)) {
        fprintf(stderr, "gui_bench: no display (run it under xvfb-run)\n");
        return 1;
    }
    if (g_chdir(setup().home.c_str()) != 0) return 1;
    setup().big_file = make_big_file(setup().home);

    GtkWidget* window = main_window_build();
    gtk_widget_show_all(window);
    spin_until([&] { return gtk_widget_get_mapped(window); });
    // The terminal tabs are on show, as when the user works in them.
    gtk_notebook_set_current_page(GTK_NOTEBOOK(main_notebook()), 2);
    gtk_notebook_set_current_page(GTK_NOTEBOOK(bottom_notebook()), 1);
    spin_for(500);
    terminal_close_current(); // the start tab; each benchmark makes its own
    GtkWidget* probe = terminal_new_tab();
    spin_until([&] { return has_prompt(probe); });
    GtkAllocation size;
    gtk_widget_get_allocation(probe, &size);
    setup().width = size.width;
    setup().height = size.height;
    terminal_close_current();
    spin_for(100);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    g_signal_handlers_disconnect_by_func(window, reinterpret_cast<gpointer>(gtk_main_quit),
                                         nullptr);
    gtk_widget_destroy(window);
    const char* rm[] = {"rm", "-rf", setup().home.c_str(), nullptr};
    g_spawn_sync(nullptr, const_cast<char**>(rm), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr,
                 nullptr, nullptr, nullptr, nullptr);
    return 0;
}
