#include "shell/ui/app.h"

int main(int argc, char** argv) { return app_run(argc, argv); }
