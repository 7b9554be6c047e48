#include <gtest/gtest.h>

#include "framework/core/KeyRouting.h"
#include "framework/gtk/Input.h"

namespace fw::gtk {
namespace {

TEST(VirtualKey, NamesKeysAsThePlatformNumbersThem) {
  const struct {
    guint keyval;
    std::uint16_t key;
  } cases[] = {
      {GDK_KEY_Tab, vkTab},
      {GDK_KEY_ISO_Left_Tab, vkTab},
      {GDK_KEY_KP_Tab, vkTab},
      {GDK_KEY_Return, vkReturn},
      {GDK_KEY_KP_Enter, vkReturn},
      {GDK_KEY_ISO_Enter, vkReturn},
      {GDK_KEY_Escape, vkEscape},
      {GDK_KEY_Left, vkLeft},
      {GDK_KEY_KP_Up, vkUp},
      {GDK_KEY_Right, vkRight},
      {GDK_KEY_KP_Down, vkDown},
      {GDK_KEY_space, vkSpace},
      {GDK_KEY_Shift_R, vkShift},
      {GDK_KEY_Control_L, vkControl},
      {GDK_KEY_Alt_R, vkMenu},
      {GDK_KEY_a, 'A'},
      {GDK_KEY_Z, 'Z'},
      {GDK_KEY_0, '0'},
      {GDK_KEY_9, '9'},
      {GDK_KEY_F1, vkF1},
      {GDK_KEY_F10, 0x79},
      {GDK_KEY_F24, 0x87},
      {GDK_KEY_Menu, vkUnmapped},
      {GDK_KEY_Cyrillic_a, vkUnmapped},
  };
  for (const auto& c : cases) EXPECT_EQ(VirtualKey(c.keyval), c.key) << gdk_keyval_name(c.keyval);
}

TEST(ShiftStateOf, ReadsShiftControlAndAltOnly) {
  EXPECT_EQ(ShiftStateOf(0), 0u);
  EXPECT_EQ(ShiftStateOf(GDK_SHIFT_MASK | GDK_CONTROL_MASK | GDK_MOD1_MASK),
            unsigned{ssShift | ssCtrl | ssAlt});
  EXPECT_EQ(ShiftStateOf(GDK_LOCK_MASK | GDK_MOD2_MASK | GDK_BUTTON1_MASK), 0u);
}

TEST(ClassifyInput, GivesEachEventItsEdgeAndSourceOrThePointer) {
  using Kind = TInputReport::Kind;
  using S = TInputSource;
  struct Case {
    GdkEvent event;
    Kind kind;
    TInputEdge edge;
    TInputSource source;
    TPoint pointer;
  };
  auto key = [](GdkEventType type, guint16 code) {
    GdkEvent e{};
    e.key.type = type;
    e.key.hardware_keycode = code;
    return e;
  };
  auto button = [](GdkEventType type, guint number) {
    GdkEvent e{};
    e.button.type = type;
    e.button.button = number;
    return e;
  };
  auto touch = [](GdkEventType type, std::uintptr_t sequence) {
    GdkEvent e{};
    e.touch.type = type;
    e.touch.sequence = reinterpret_cast<GdkEventSequence*>(sequence);
    return e;
  };
  auto motion = [](double x, double y) {
    GdkEvent e{};
    e.motion.type = GDK_MOTION_NOTIFY;
    e.motion.x_root = x;
    e.motion.y_root = y;
    return e;
  };
  auto crossing = [](GdkEventType type, double x, double y) {
    GdkEvent e{};
    e.crossing.type = type;
    e.crossing.x_root = x;
    e.crossing.y_root = y;
    return e;
  };
  auto plain = [](GdkEventType type) {
    GdkEvent e{};
    e.type = type;
    return e;
  };
  const Case cases[] = {
      {key(GDK_KEY_PRESS, 38), Kind::Edge, TInputEdge::Press, S::Key(38), {}},
      {key(GDK_KEY_RELEASE, 38), Kind::Edge, TInputEdge::Release, S::Key(38), {}},
      {button(GDK_BUTTON_PRESS, 1), Kind::Edge, TInputEdge::Press, S::Button(1), {}},
      {button(GDK_2BUTTON_PRESS, 3), Kind::Edge, TInputEdge::Press, S::Button(3), {}},
      {button(GDK_3BUTTON_PRESS, 1), Kind::Edge, TInputEdge::Press, S::Button(1), {}},
      {button(GDK_BUTTON_RELEASE, 3), Kind::Edge, TInputEdge::Release, S::Button(3), {}},
      // Touch points by their sequence.
      {touch(GDK_TOUCH_BEGIN, 0x10007), Kind::Edge, TInputEdge::Press, S::Touch(0x10007), {}},
      {touch(GDK_TOUCH_END, 0x10007), Kind::Edge, TInputEdge::Release, S::Touch(0x10007), {}},
      {touch(GDK_TOUCH_CANCEL, 5), Kind::Edge, TInputEdge::Release, S::Touch(5), {}},
      {touch(GDK_TOUCH_UPDATE, 5), Kind::Edge, TInputEdge::Other, {}, {}},
      {motion(10.7, 20.2), Kind::Pointer, TInputEdge::Other, {}, {10, 20}},
      {crossing(GDK_ENTER_NOTIFY, 3, 4), Kind::Pointer, TInputEdge::Other, {}, {3, 4}},
      {crossing(GDK_LEAVE_NOTIFY, 5, 6), Kind::Pointer, TInputEdge::Other, {}, {5, 6}},
      {plain(GDK_SCROLL), Kind::Edge, TInputEdge::Other, {}, {}},
      {plain(GDK_TOUCHPAD_PINCH), Kind::Edge, TInputEdge::Other, {}, {}},
      {plain(GDK_PROXIMITY_IN), Kind::Edge, TInputEdge::Other, {}, {}},
      {plain(GDK_PAD_RING), Kind::Edge, TInputEdge::Other, {}, {}},
      // Not input: the watch never hears of them.
      {plain(GDK_EXPOSE), Kind::Nothing, TInputEdge::Other, {}, {}},
      {plain(GDK_PROXIMITY_OUT), Kind::Nothing, TInputEdge::Other, {}, {}},
      {plain(GDK_FOCUS_CHANGE), Kind::Nothing, TInputEdge::Other, {}, {}},
  };
  for (const Case& c : cases) {
    const TInputReport report = ClassifyInput(c.event);
    SCOPED_TRACE(testing::Message() << "event type " << c.event.type);
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

}  // namespace
}  // namespace fw::gtk
