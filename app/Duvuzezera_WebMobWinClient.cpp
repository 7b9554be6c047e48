// The process entry of Duvuzezera_WebMobWinClient.
#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "app/ProgramStartup.h"
#include "framework/win32/Unicode.h"

namespace {

struct FreeLocal {
  void operator()(wchar_t** p) const { LocalFree(p); }
};

// The arguments after the program's name, as UTF-8.
std::vector<std::string> Arguments() {
  int count = 0;
  const std::unique_ptr<wchar_t*, FreeLocal> argv(CommandLineToArgvW(GetCommandLineW(), &count));
  std::vector<std::string> arguments;
  for (int i = 1; argv && i < count; ++i) arguments.push_back(fw::win32::Narrow(argv.get()[i]));
  return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return RunProgram(Arguments()); }
