#include <malloc.h>

#include "shell/ui/app.h"

int main(int argc, char** argv) {
    // Large blocks (a file's bytes, its decoded text, a scan's copy of it) go
    // back to the system once freed, instead of staying in the heap for good.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    return app_run(argc, argv);
}
