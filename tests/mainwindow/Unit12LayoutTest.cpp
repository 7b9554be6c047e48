#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "framework/core/Application.h"
#include "framework/core/Gestures.h"
#include "framework/core/KeyRouting.h"
#include "framework/core/Layout.h"
#include "mainwindow/NavigationTargets.h"
#include "mainwindow/Unit12.h"

namespace {

using fw::TBounds;

// Counts Terminate calls; has no windows.
class RecordingApplication : public fw::TApplication {
 public:
  int terminations = 0;
  void Initialize() override {}
  void Run() override {}
  void Terminate() override { ++terminations; }

 protected:
  std::string_view LayoutResource(const std::string&) override { return {}; }
  int CreateFormPeer(fw::TForm&) override { return fw::DesignPixelsPerInch; }
  void CreateControlPeer(fw::TControl&, fw::TWinControl&) override {}
  void ShowErrorMessage(const std::string&) override {}
};

class Unit12Layout : public testing::Test {
 protected:
  RecordingApplication app;
  TForm12 form;
  void SetUp() override {
    std::ifstream in(UNIT12_LAYOUT);
    ASSERT_TRUE(in);
    const std::string layout((std::istreambuf_iterator<char>(in)), {});
    fw::LoadLayout(form, "TFORM12", layout);
  }
};

TEST_F(Unit12Layout, DesignTreeMatchesTheWindowDescription) {
  EXPECT_EQ(form.Name(), "Form12");
  EXPECT_EQ(form.Caption(), "Form12");
  EXPECT_EQ(form.BorderStyle, fw::TFormBorderStyle::bsNone);
  EXPECT_EQ(form.WindowState, fw::TWindowState::wsMaximized);
  EXPECT_TRUE(form.KeyPreview);
  EXPECT_EQ(form.GestureManager, form.GestureManager1);
  EXPECT_EQ(form.GestureManager1->FindAction(&form, fw::TStandardGesture::sgiUp), form.Action1);
  EXPECT_EQ(form.Bounds(), (TBounds{0, 0, 1340, 930}));
  EXPECT_EQ(form.Font.Name, "Segoe UI");
  EXPECT_EQ(form.Font.Height, -19);

  // Creation order, which is also the z-order from the bottom up.
  const std::vector<fw::TControl*> expectedChildren{form.AppBar, form.WebBrowser1, form.SplitView1,
                                                    form.PanelZastava};
  EXPECT_EQ(form.Controls(), expectedChildren);
  EXPECT_EQ(form.AppBar->Bounds(), (TBounds{0, 855, 1340, 75}));
  EXPECT_FALSE(form.AppBar->Visible());
  EXPECT_EQ(form.CloseButton->Bounds(), (TBounds{1280, 0, 60, 75}));
  EXPECT_EQ(form.WebBrowser1->Bounds(), (TBounds{200, 0, 1140, 930}));
  EXPECT_EQ(form.SplitView1->Bounds(), (TBounds{0, 0, 200, 930}));
  EXPECT_EQ(form.PanelZastava->Bounds(), (TBounds{200, 0, 1140, 930}));
  EXPECT_EQ(form.PanelZastava->Caption(), "Duvuzezera");
  const fw::TFont& splashFont = form.PanelZastava->EffectiveFont();
  EXPECT_EQ(splashFont.Name, "Engravers MT");
  EXPECT_EQ(splashFont.Height, -64);
  EXPECT_TRUE(splashFont.Bold && splashFont.Italic);
  EXPECT_EQ(splashFont.Color, fw::clYellow);

  // Button2 is captioned with the domain its target opens.
  const std::string siteDomain =
      BuildNavigationTargets().Site.substr(std::string("http://").size());
  struct Row {
    fw::TButton* button;
    TBounds bounds;
    int tabOrder;
    std::string caption;
  } rows[] = {
      {form.Button1, {16, 24, 161, 34}, 0, "Кабинет"},
      {form.Button2, {16, 72, 161, 34}, 1, siteDomain},
      {form.Button4, {16, 119, 161, 34}, 3, "Общее описание"},
      {form.Button6, {16, 165, 161, 34}, 5, "Видео на Yotube"},
      {form.Button5, {16, 213, 161, 34}, 4, "Документация"},
      {form.Button3, {16, 288, 161, 33}, 2, "Выход"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.button->Parent(), form.SplitView1) << r.caption;
    EXPECT_EQ(r.button->Bounds(), r.bounds) << r.caption;
    EXPECT_EQ(r.button->TabOrder, r.tabOrder) << r.caption;
    EXPECT_EQ(r.button->Caption(), r.caption);
    EXPECT_EQ(r.button->EffectiveFont().Height, -19) << r.caption;
  }
  const std::vector<fw::TControl*> tabOrder{form.Button1, form.Button2, form.Button3,
                                            form.Button4, form.Button5, form.Button6};
  EXPECT_EQ(form.SplitView1->TabOrderList(), tabOrder);
  // The hidden bar is skipped: the first focus goes to the browser.
  EXPECT_EQ(form.FirstFocusable(), form.WebBrowser1);
}

TEST_F(Unit12Layout, CloseIconIsA40PixelPictureCentredInItsCell) {
  const fw::TBitmap& picture = form.CloseButton->Picture;
  ASSERT_EQ(picture.Width, 40);
  ASSERT_EQ(picture.Height, 40);
  EXPECT_EQ(form.CloseButton->PictureOrigin(), (fw::TPoint{10, 17}));
  auto alpha = [&](int x, int y) { return picture.Rgba[(y * 40 + x) * 4 + 3]; };
  auto red = [&](int x, int y) { return picture.Rgba[(y * 40 + x) * 4]; };
  EXPECT_EQ(alpha(0, 0), 0);      // transparent corner
  EXPECT_EQ(alpha(20, 20), 255);  // the cross's centre
  EXPECT_EQ(red(20, 20), 255);    // white
  EXPECT_EQ(alpha(20, 1), 255);   // the ring at the top
  EXPECT_EQ(alpha(20, 8), 0);     // between ring and cross
}

TEST_F(Unit12Layout, ScaledFor144PixelsPerInchWhileTheBarStays75High) {
  form.ScaleForPixelsPerInch(144);
  form.ClientResized(1920, 1080);
  EXPECT_EQ(form.SplitView1->Bounds(), (TBounds{0, 0, 300, 1080}));
  EXPECT_EQ(form.Button1->Bounds(), (TBounds{24, 36, 242, 51}));
  EXPECT_EQ(form.Button3->Bounds(), (TBounds{24, 432, 242, 50}));
  EXPECT_EQ(form.Button1->EffectiveFont().Height, -29);
  EXPECT_EQ(form.PanelZastava->EffectiveFont().Height, -96);
  EXPECT_EQ(form.PanelZastava->Bounds(), (TBounds{300, 0, 1620, 1080}));
  EXPECT_EQ(form.AppBar->Bounds(), (TBounds{0, 1005, 1920, 75}));
  EXPECT_EQ(form.CloseButton->Bounds(), (TBounds{1830, 0, 90, 75}));
  EXPECT_EQ(form.CloseButton->PictureOrigin(), (fw::TPoint{25, 17}));
}

TEST_F(Unit12Layout, ResizePlacesTheBarFlushWithTheBottomShownOrHidden) {
  form.ClientResized(1280, 800);
  EXPECT_EQ(form.AppBar->Bounds(), (TBounds{0, 725, 1280, 75}));
  EXPECT_EQ(form.CloseButton->Bounds(), (TBounds{1220, 0, 60, 75}));
  form.AppBarShow(1);
  form.ClientResized(1024, 768);
  EXPECT_EQ(form.AppBar->Bounds(), (TBounds{0, 693, 1024, 75}));
}

TEST_F(Unit12Layout, AppBarShowTogglesHidesAndShowsOnTop) {
  struct Case {
    bool shownBefore;
    int mode;
    bool shownAfter;
  } cases[] = {{false, -1, true}, {true, -1, false}, {false, 0, false}, {true, 0, false},
               {false, 1, true},  {true, 1, true},   {false, 7, true},  {false, -2, true}};
  for (const Case& c : cases) {
    form.AppBar->SetVisible(c.shownBefore);
    form.AppBarShow(c.mode);
    EXPECT_EQ(form.AppBar->Visible(), c.shownAfter) << c.shownBefore << " " << c.mode;
    if (c.shownAfter) {
      EXPECT_EQ(form.Controls().back(), form.AppBar) << "a shown bar lies on top";
    }
  }
}

TEST_F(Unit12Layout, KeysGesturesAndCloseCommands) {
  std::uint16_t escape = 27, letter = 'A';
  form.FormKeyDown(&form, escape, 0);
  EXPECT_TRUE(form.AppBar->Visible());
  form.FormKeyDown(&form, letter, 0);
  EXPECT_FALSE(form.AppBar->Visible());
  form.FormKeyDown(&form, letter, 0);
  EXPECT_FALSE(form.AppBar->Visible());
  EXPECT_EQ(escape, 27);  // the key is left as it came
  EXPECT_EQ(letter, 'A');

  form.Action1->Execute();
  EXPECT_TRUE(form.AppBar->Visible());
  bool handled = false;
  form.OnGesture(&form, {}, handled);
  EXPECT_FALSE(form.AppBar->Visible());
  EXPECT_FALSE(handled);

  form.Button3->Click();
  form.CloseButton->Click();
  EXPECT_EQ(app.terminations, 2);
  EXPECT_TRUE(form.PanelZastava->Visible());  // the exit command leaves the splash alone
}

TEST_F(Unit12Layout, FocusMovesByTabOrderNotScreenOrder) {
  using fw::NextSiblingTabStop;
  EXPECT_EQ(NextSiblingTabStop(*form.Button2, true), form.Button3) << "Down from Button2";
  EXPECT_EQ(NextSiblingTabStop(*form.Button6, true), form.Button1) << "wraps around";
  EXPECT_EQ(NextSiblingTabStop(*form.Button1, false), form.Button6);
  // Tab runs through the form: the browser, then the pane's buttons; the hidden bar is skipped.
  const std::vector<fw::TControl*> cycle{form.WebBrowser1, form.Button1,    form.Button2,
                                         form.Button3,     form.Button4,    form.Button5,
                                         form.Button6,     form.WebBrowser1};
  for (std::size_t i = 0; i + 1 < cycle.size(); ++i) {
    EXPECT_EQ(fw::NextTabStop(form, cycle[i], true), cycle[i + 1]) << i;
    EXPECT_EQ(fw::NextTabStop(form, cycle[i + 1], false), cycle[i]) << i;
  }
  form.AppBar->Show();
  EXPECT_EQ(fw::NextTabStop(form, form.Button6, true), form.WebBrowser1)
      << "the bar holds no tab stop";
}

TEST_F(Unit12Layout, StrokesToggleOrHideTheBarThroughTheGestureBinding) {
  using V = fw::TStrokeVerdict;
  fw::DispatchStroke(*form.SplitView1, V::SwipeUp, {});
  EXPECT_TRUE(form.AppBar->Visible()) << "bound to the form, found through the parents";
  fw::DispatchStroke(*form.CloseButton, V::SwipeUp, {});
  EXPECT_FALSE(form.AppBar->Visible());
  fw::DispatchStroke(form, V::SwipeUp, {});
  EXPECT_TRUE(form.AppBar->Visible());
  fw::DispatchStroke(*form.PanelZastava, V::TooShort, {});
  EXPECT_TRUE(form.AppBar->Visible()) << "a click raises nothing";
  fw::DispatchStroke(*form.PanelZastava, V::NoGesture, {});
  EXPECT_FALSE(form.AppBar->Visible()) << "an unmatched stroke hides";
  fw::DispatchStroke(*form.PanelZastava, V::NoGesture, {});
  EXPECT_FALSE(form.AppBar->Visible());
}

TEST_F(Unit12Layout, OnlyPanelsTheSplitViewImagesAndTheFormTakePartInGestures) {
  for (fw::TControl* c : std::vector<fw::TControl*>{&form, form.SplitView1, form.PanelZastava,
                                                    form.AppBar, form.CloseButton}) {
    EXPECT_TRUE(c->TakesPartInGestures()) << c->Name();
  }
  for (fw::TControl* c : std::vector<fw::TControl*>{form.Button1, form.Button3, form.WebBrowser1}) {
    EXPECT_FALSE(c->TakesPartInGestures()) << c->Name();
  }
}

}  // namespace
