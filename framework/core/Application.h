#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Form.h"

namespace fw {

// The application object: one per process. A platform backend supplies the message loop,
// the native windows and the message boxes; this part holds what every platform shares.
class TApplication {
 public:
  TApplication();
  virtual ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Prepares the thread for the controls (COM, on platforms that have it).
  virtual void Initialize() = 0;
  // Switches to the touch-first mode.
  virtual void UseMetropolisUI() { touchFirst_ = true; }
  bool TouchFirst() const { return touchFirst_; }
  // Makes the main form, not the application's own hidden window, own the taskbar button.
  virtual void SetMainFormOnTaskBar(bool value) { mainFormOnTaskBar_ = value; }
  bool MainFormOnTaskBar() const { return mainFormOnTaskBar_; }
  virtual void SetTitle(std::string title) { title_ = std::move(title); }
  const std::string& Title() const { return title_; }

  // Builds a form of class T from its layout resource; the first one becomes the main form.
  template <class T>
  void CreateForm(T*& reference) {
    auto form = std::make_unique<T>();
    T* raw = form.get();
    AddForm(std::move(form));
    reference = raw;
  }
  TForm* MainForm() const { return forms_.empty() ? nullptr : forms_.front().get(); }

  // Shows the main form and dispatches messages until Terminate.
  virtual void Run() = 0;
  // Asks the loop to end once it reaches the request; returns at once.
  virtual void Terminate() = 0;

  // Runs an event handler; whatever it throws goes to the handler below, not further.
  void Guard(const std::function<void()>& handler);
  // Shows the exception's message (closing full stop added) unless it is an EAbort.
  void HandleException(const std::exception& e);
  // The same for the exception being handled, of whatever type (call it in a catch block).
  void HandleCurrentException();

 protected:
  // Loads the form's layout, creates its native windows and takes ownership of it.
  virtual void AddForm(std::unique_ptr<TForm> form) = 0;
  // Shows `text` in an error box captioned with the title.
  virtual void ShowErrorMessage(const std::string& text) = 0;
  // Destroys the forms, newest first (the exit procedure).
  void DestroyForms();

  std::vector<std::unique_ptr<TForm>> forms_;

 private:
  bool touchFirst_ = false;
  bool mainFormOnTaskBar_ = false;
  std::string title_;
};

// The process's application object, while one exists.
extern TApplication* Application;

}  // namespace fw
