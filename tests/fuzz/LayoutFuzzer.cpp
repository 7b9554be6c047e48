#include <cstddef>
#include <cstdint>
#include <string_view>

#include "framework/core/Exceptions.h"
#include "framework/core/Layout.h"
#include "mainwindow/Unit12.h"

// The main window's form, so that its real layout loads all the way through; a loaded layout
// is then scaled up for a dense screen and back, as a change of monitor does.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TForm12 form;
  try {
    fw::LoadLayout(form, "TFORM12", std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const fw::ELayoutError&) {
    return 0;
  }
  form.ScaleForPixelsPerInch(480);
  form.ScaleForPixelsPerInch(96);
  return 0;
}
