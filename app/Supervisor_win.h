#pragma once

#include <chrono>
#include <string>
#include <vector>

// Runs `command` (a whole command line) and runs it again after every end with an exit code
// other than 0, waiting longer each time it fails in a row; returns 0 once it ends with 0.
// A program whose main window has answered nothing for `frozenAfter` in a row is ended, noted
// in the Application event log and started again as after a failure. Throws when it cannot be
// started.
int Supervise(const std::wstring& command, std::chrono::seconds frozenAfter);

// Whether this program was started by Supervise, which starts it again at once when it ends
// with TRestartBackoff::AtOnceExitCode.
bool RunsUnderSupervisor();

// How long the main window may answer nothing before the supervisor ends the program: fixed by
// the build (30 s; tests build a copy that waits less).
std::chrono::seconds BuildFrozenWindowLimit();

// The command line that starts this executable with `arguments`, each quoted as the C
// runtime reads it back.
std::wstring OwnCommandLine(const std::vector<std::string>& arguments);
