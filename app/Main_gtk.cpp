// The process entry of duvuzezera-webmobclient, the Linux build.
#include "app/ProgramStartup.h"

int main() { return RunProgram(); }
