#pragma once

// The whole life of the program on this thread: module initialization (phase A), the
// start-up block (phase B), the loop and the exit procedure. Returns the exit code.
int RunProgram();
