// The entry of the interface benchmarks: the toolkit needs a display (run
// under xvfb-run, as scripts/bench does when there is none).
#include <benchmark/benchmark.h>
#include <cstdio>
#include <gtk/gtk.h>

int main(int argc, char** argv) {
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "gui_bench: no display; run it under xvfb-run\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
