#include <gtest/gtest.h>

#include "framework/win32/Input.h"

namespace fw::win32 {
namespace {

MSG Message(UINT message, WPARAM wParam = 0, POINT at = {}) {
  MSG m{};
  m.message = message;
  m.wParam = wParam;
  m.pt = at;
  return m;
}

TEST(ClassifyInput, GivesEachMessageItsEdgeAndSourceOrThePointer) {
  using Kind = TInputReport::Kind;
  using S = TInputSource;
  const struct Case {
    MSG message;
    Kind kind;
    TInputEdge edge;
    TInputSource source;
    TPoint pointer;
  } cases[] = {
      {Message(WM_KEYDOWN, 'A'), Kind::Edge, TInputEdge::Press, S::Key('A'), {}},
      {Message(WM_SYSKEYUP, VK_F10), Kind::Edge, TInputEdge::Release, S::Key(VK_F10), {}},
      // The left button is 1 among the keys too: the devices keep them apart.
      {Message(WM_LBUTTONDOWN), Kind::Edge, TInputEdge::Press, S::Button(kLeftButton), {}},
      {Message(WM_LBUTTONDBLCLK), Kind::Edge, TInputEdge::Press, S::Button(kLeftButton), {}},
      {Message(WM_RBUTTONUP), Kind::Edge, TInputEdge::Release, S::Button(kRightButton), {}},
      {Message(WM_MBUTTONDOWN), Kind::Edge, TInputEdge::Press, S::Button(kMiddleButton), {}},
      {Message(WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON1)),
       Kind::Edge,
       TInputEdge::Press,
       S::Button(kBackButton),
       {}},
      {Message(WM_XBUTTONUP, MAKEWPARAM(0, XBUTTON2)),
       Kind::Edge,
       TInputEdge::Release,
       S::Button(kForwardButton),
       {}},
      {Message(WM_POINTERDOWN, MAKEWPARAM(7, 0)), Kind::Edge, TInputEdge::Press, S::Touch(7), {}},
      {Message(WM_POINTERUP, MAKEWPARAM(7, 0)), Kind::Edge, TInputEdge::Release, S::Touch(7), {}},
      {Message(WM_MOUSEMOVE, 0, {10, 20}), Kind::Pointer, TInputEdge::Other, {}, {10, 20}},
      {Message(WM_NCMOUSEMOVE, 0, {3, 4}), Kind::Pointer, TInputEdge::Other, {}, {3, 4}},
      // A press on a frame is the system's loop's: no hold.
      {Message(WM_NCLBUTTONDOWN), Kind::Edge, TInputEdge::Other, {}, {}},
      {Message(WM_MOUSEWHEEL), Kind::Edge, TInputEdge::Other, {}, {}},
      {Message(WM_POINTERUPDATE, MAKEWPARAM(7, 0)), Kind::Edge, TInputEdge::Other, {}, {}},
      {Message(WM_PAINT), Kind::Nothing, TInputEdge::Other, {}, {}},
      {Message(WM_CHAR, 'a'), Kind::Nothing, TInputEdge::Other, {}, {}},
  };
  for (const Case& c : cases) {
    const TInputReport report = ClassifyInput(c.message);
    SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << c.message.message);
    EXPECT_EQ(report.kind, c.kind);
    if (c.kind == Kind::Edge) {
      EXPECT_EQ(report.edge, c.edge);
      EXPECT_EQ(report.source, c.source);
    }
    if (c.kind == Kind::Pointer) {
      EXPECT_EQ(report.pointer.X, c.pointer.X);
      EXPECT_EQ(report.pointer.Y, c.pointer.Y);
    }
  }
}

TEST(ShiftStateOf, ASystemKeyIsHeldWithAlt) {
  EXPECT_EQ(ShiftStateOf(Message(WM_KEYDOWN, 'A')), 0u);
  EXPECT_EQ(ShiftStateOf(Message(WM_SYSKEYDOWN, 'A')), unsigned{ssAlt});
}

}  // namespace
}  // namespace fw::win32
