#pragma once

#include <string>
#include <vector>

namespace fw {
class TApplication;
}

// The start-up block up to the message loop: touch-first mode, the dark style, taskbar
// ownership, the title and the main window. The program and its window tests share it; a
// test that wants the framework's plain look passes `selectStyle` false.
void RunStartupBlock(fw::TApplication& application, bool selectStyle = true);

// The whole life of the program on this thread: module initialization (phase A), the
// start-up block (phase B) with the operator's settings, the loop and the exit procedure.
// --help and --check-config answer without a window. Returns the exit code.
int RunProgram(const std::vector<std::string>& arguments = {});
