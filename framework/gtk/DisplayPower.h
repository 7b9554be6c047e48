#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>

namespace fw::gtk {

// Switches the monitors' power by what the display server offers: the DPMS extension of an
// X server, the output power protocol of a wlroots compositor. Neither: nothing happens, and
// the program's black cover is all there is.
class DisplayPower {
 public:
  enum class Method { CoverOnly, Dpms, OutputPower };

  // The requests made of an X server's DPMS extension: the server's, or a test's stand-in.
  class Dpms {
   public:
    virtual ~Dpms() = default;
    // The extension is there and the server can switch its monitors.
    virtual bool Capable() = 0;
    virtual bool Enabled() = 0;
    virtual void Enable(bool enable) = 0;
    virtual void ForceOff(bool off) = 0;
  };

  // On an X display `dpms` replaces the server's extension, when given.
  explicit DisplayPower(GdkDisplay* display, std::unique_ptr<Dpms> dpms = nullptr);
  ~DisplayPower();
  DisplayPower(const DisplayPower&) = delete;
  DisplayPower& operator=(const DisplayPower&) = delete;

  Method Available() const;
  void Switch(bool on);

 private:
  struct Wayland;
  GdkDisplay* display_;
  std::unique_ptr<Dpms> dpms_;
  bool dpmsWasEnabled_ = true;
  std::unique_ptr<Wayland> wayland_;
};

}  // namespace fw::gtk
