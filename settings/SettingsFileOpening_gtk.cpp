#include <filesystem>
#include <system_error>

#include "settings/SettingsFileOpening.h"

SettingsFileOpening OpenSettingsFile(const SettingsPath& path) {
  using Found = SettingsFileOpening::Found;
  SettingsFileOpening opening;
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) return opening;
  if (error) {
    opening.found = Found::Unreadable;
    opening.reason = error.message();
  } else if (std::filesystem::is_directory(status)) {
    opening.found = Found::Folder;
  } else {
    opening.file.reset(std::fopen(path.c_str(), "rb"));
    opening.found = opening.file ? Found::File : Found::Unreadable;
  }
  return opening;
}
