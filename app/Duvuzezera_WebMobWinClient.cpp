// The process entry of Duvuzezera_WebMobWinClient.
#include <windows.h>

#include "app/ProgramStartup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return RunProgram(); }
