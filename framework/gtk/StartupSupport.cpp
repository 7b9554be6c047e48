#include "framework/gtk/StartupSupport.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <string>

#include "framework/core/Messages.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/StyleSupport.h"

namespace fw::gtk {

namespace {

std::string ExecutableFileName() {
  const UniqueGChar path(g_file_read_link("/proc/self/exe", nullptr));
  if (!path) return g_get_prgname() ? g_get_prgname() : "";
  const UniqueGChar name(g_path_get_basename(path.get()));
  return name.get();
}

}  // namespace

void ShowApplicationError(const std::exception& e) {
  const std::string text = fw::ApplicationErrorText(fw::ExceptionTypeName(e), ExecutableFileName(),
                                                    fw::ExceptionAddress(e), e.what());
  std::fprintf(stderr, "Application Error\n%s\n", text.c_str());
  if (gdk_display_get_default()) ShowMessageDialog(nullptr, "Application Error", text, "_OK");
}

}  // namespace fw::gtk
