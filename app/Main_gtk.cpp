// The process entry of duvuzezera-webmobclient, the Linux build.
#include "app/ProgramStartup.h"

int main(int argc, char** argv) { return RunProgram({argv + (argc > 0 ? 1 : 0), argv + argc}); }
