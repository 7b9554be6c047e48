#include <gtest/gtest.h>

#include <set>
#include <string>

#include "framework/core/FreeFileName.h"

namespace {

// A download never takes the name of a file already there, and never leaves the folder.
TEST(FreeFileName, KeepsTheLastComponentAndNeverATakenName) {
  struct Case {
    const char* suggested;
    std::set<std::string> taken;
    const char* expected;
  };
  const Case cases[] = {
      {"guide.pdf", {}, "guide.pdf"},
      {"guide.pdf", {"guide.pdf"}, "guide (1).pdf"},
      {"guide.pdf", {"guide.pdf", "guide (1).pdf", "guide (2).pdf"}, "guide (3).pdf"},
      {"archive.tar.gz", {"archive.tar.gz"}, "archive.tar (1).gz"},
      {"README", {"README"}, "README (1)"},
      {".profile", {".profile"}, ".profile (1)"},
      {"../../.bashrc", {}, ".bashrc"},
      {"/etc/passwd", {}, "passwd"},
      {"..\\..\\win.ini", {}, "win.ini"},
      {"dir/", {}, "download"},
      {"..", {}, "download"},
      {"", {"download"}, "download (1)"},
      {"a:b\n.txt", {}, "a_b_.txt"},
  };
  for (const Case& c : cases) {
    const auto exists = [&](const std::string& name) { return c.taken.contains(name); };
    EXPECT_EQ(fw::FreeFileName(c.suggested, exists), c.expected) << c.suggested;
  }
}

}  // namespace
