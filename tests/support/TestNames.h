#pragma once

#include <cctype>
#include <string>

// A GoogleTest parameter name made from a readable description.
inline std::string TestName(std::string description) {
  for (char& c : description) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return description;
}
