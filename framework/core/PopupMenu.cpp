#include "framework/core/PopupMenu.h"

#include "framework/core/Exceptions.h"

namespace fw {

namespace {
TPopupMenu::Presenter& CurrentPresenter() {
  static TPopupMenu::Presenter presenter;
  return presenter;
}
}  // namespace

void TPopupMenu::SetPresenter(Presenter presenter) { CurrentPresenter() = std::move(presenter); }

void TPopupMenu::Popup(int x, int y) {
  if (!CurrentPresenter()) throw Exception("No platform can show the menu '" + Name() + "'");
  CurrentPresenter()(*this, x, y);
}

}  // namespace fw
