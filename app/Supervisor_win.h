#pragma once

#include <string>
#include <vector>

// Runs `command` (a whole command line) and runs it again after every end with an exit code
// other than 0, waiting longer each time it fails in a row; returns 0 once it ends with 0.
// Throws when it cannot be started.
int Supervise(const std::wstring& command);

// The command line that starts this executable with `arguments`, each quoted as the C
// runtime reads it back.
std::wstring OwnCommandLine(const std::vector<std::string>& arguments);
