#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "settings/SettingsFile.h"

struct CloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// What opening a settings file for reading found; the file is open only when it is one.
struct SettingsFileOpening {
  enum class Found { Nothing, Folder, Unreadable, File } found = Found::Nothing;
  std::unique_ptr<std::FILE, CloseFile> file;
  std::string reason;  // why it is unreadable, when the system says
};

// The platform's half: the system's own calls, since the program's size counts on Windows.
SettingsFileOpening OpenSettingsFile(const SettingsPath& path);
