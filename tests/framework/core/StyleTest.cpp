#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <iterator>
#include <string>

#include "framework/core/Exceptions.h"
#include "framework/core/Form.h"
#include "framework/core/StandardControls.h"
#include "framework/core/StyleManager.h"
#include "framework/core/StyleRules.h"

namespace fw {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// The style as the build compiles it from its readable source.
std::vector<std::uint8_t> BuiltDarkStyle() {
  std::ifstream in(BUILT_STYLE, std::ios::binary);
  EXPECT_TRUE(in) << BUILT_STYLE;
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(StyleCodec, RoundTripsAndReadsWhatTheBuildWrites) {
  TStyle style{"Metropolis UI Dark",
               "1.0",
               {{"Window", TColor::Rgb(0x1A, 0x1A, 0x1A)}},
               {{"PanelTextNormal", TColor::Rgb(0xC0, 0xC0, 0xC0)}}};
  EXPECT_EQ(DecodeStyle(EncodeStyle(style)), style);

  const auto built = DecodeStyle(BuiltDarkStyle());
  ASSERT_TRUE(built.has_value());
  EXPECT_EQ(built->Name, "Metropolis UI Dark");
  EXPECT_EQ(built->Version, "1.0");
  EXPECT_EQ(StyleColor(*built, "window", clBlack), TColor::Rgb(0x1A, 0x1A, 0x1A));
  EXPECT_EQ(StyleColor(*built, "clBtnFace", clBlack), TColor::Rgb(0x1A, 0x1A, 0x1A));
  EXPECT_EQ(StyleFontColor(*built, "PanelTextNormal", clYellow), TColor::Rgb(0xC0, 0xC0, 0xC0));
}

TEST(StyleCodec, RejectsWhatIsNotAReadableStyle) {
  auto deflated = [](const std::string& text) {
    std::vector<std::uint8_t> out(kStyleSignature, kStyleSignature + 8);
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::vector<std::uint8_t> z(size);
    compress(z.data(), &size, reinterpret_cast<const Bytef*>(text.data()),
             static_cast<uLong>(text.size()));
    out.insert(out.end(), z.begin(), z.begin() + static_cast<long>(size));
    return out;
  };
  auto truncated = deflated("name=X\n");
  truncated.resize(truncated.size() - 3);
  const std::vector<std::vector<std::uint8_t>> bad{
      {},
      Bytes("VCL_STYLE 2.0xxxx"),
      Bytes(std::string(kStyleSignature) + "not zlib at all"),
      truncated,
      deflated("version=1.0\n"),                  // no name
      deflated("name=X\ncolor.Window=#12345\n"),  // not a colour
      deflated("name=X\nsomething else\n"),       // not a field
  };
  for (std::size_t i = 0; i < bad.size(); ++i) EXPECT_FALSE(DecodeStyle(bad[i]).has_value()) << i;
}

TEST(StyleRules, ButtonStatesTakeTheDarkStylesColours) {
  const TStyle style = *DecodeStyle(BuiltDarkStyle());
  const TColor white = TColor::Rgb(0xFF, 0xFF, 0xFF), silver = TColor::Rgb(0xC0, 0xC0, 0xC0);
  const TColor hotFace = TColor::Rgb(0x5E, 0x5E, 0x5E), hotBorder = TColor::Rgb(0xF8, 0xF8, 0xF8);
  struct Case {
    TButtonState state;
    TButtonLook look;
  } cases[] = {
      {TButtonState::Normal, {std::nullopt, white, 2, silver}},
      {TButtonState::Hot, {hotFace, hotBorder, 2, white}},
      {TButtonState::Focused, {hotFace, hotBorder, 2, white}},
      {TButtonState::Pressed, {white, white, 2, clBlack}},
      {TButtonState::Disabled,
       {std::nullopt, TColor::Rgb(0xCB, 0xCB, 0xCB), 2, TColor::Rgb(0x7E, 0x7E, 0x7E)}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ButtonLook(style, c.state), c.look) << static_cast<int>(c.state);

  EXPECT_EQ(ButtonStateOf(false, true, true, true), TButtonState::Disabled);
  EXPECT_EQ(ButtonStateOf(true, true, true, true), TButtonState::Pressed);
  EXPECT_EQ(ButtonStateOf(true, false, false, true), TButtonState::Hot);
  EXPECT_EQ(ButtonStateOf(true, false, true, false), TButtonState::Focused);
  EXPECT_EQ(ButtonStateOf(true, false, false, false), TButtonState::Normal);
}

class TStyledForm : public TForm {
 public:
  std::string ClassName() const override { return "TStyledForm"; }
  std::string LayoutResourceName() const override { return "X"; }
  void Publish(Publisher&) override {}
};

TEST(StyleRules, BackgroundsAndCaptionsComeFromTheStyleWhenThereIsOne) {
  const TStyle style = *DecodeStyle(BuiltDarkStyle());
  TStyledForm form;
  TPanel splash(nullptr);
  splash.SetParent(&form);
  splash.Font.Color = clYellow;
  splash.ParentFont = false;
  TButton button(nullptr);
  button.SetParent(&splash);
  const TColor dark = TColor::Rgb(0x1A, 0x1A, 0x1A);
  EXPECT_EQ(BackgroundColorOf(form, &style), dark);
  EXPECT_EQ(BackgroundColorOf(splash, &style), dark);
  EXPECT_EQ(BackgroundColorOf(button, &style), dark);
  EXPECT_EQ(CaptionColorOf(splash, &style), TColor::Rgb(0xC0, 0xC0, 0xC0));
  // Unstyled, the layout's own colours hold.
  EXPECT_EQ(BackgroundColorOf(splash, nullptr), clBtnFace);
  EXPECT_EQ(CaptionColorOf(splash, nullptr), clYellow);
}

// The manager over a fake set of embedded resources.
class StyleManagerFixture : public testing::Test {
 protected:
  std::vector<TStyleManager::EmbeddedStyle> embedded;
  std::vector<std::string> dialogs;
  int listings = 0;
  void SetUp() override {
    TStyleManager::Reset();
    TStyleManager::SetPlatform({[this] {
                                  ++listings;
                                  return embedded;
                                },
                                [this](const std::string& text) { dialogs.push_back(text); }});
  }
  void TearDown() override {
    TStyleManager::SetPlatform({});
    TStyleManager::Reset();
  }
  void Embed(const std::string& resource, const std::string& name) {
    embedded.push_back({resource, EncodeStyle({name, "1.0", {}, {}})});
  }
};

TEST_F(StyleManagerFixture, FindsAnEmbeddedStyleWhateverTheLetterCase) {
  Embed("METROPOLISUIDARK", "Metropolis UI Dark");
  EXPECT_EQ(TStyleManager::ActiveStyle(), nullptr);
  EXPECT_TRUE(TStyleManager::TrySetStyle("metropolis ui DARK", true));
  ASSERT_NE(TStyleManager::ActiveStyle(), nullptr);
  EXPECT_EQ(TStyleManager::ActiveStyle()->Name, "Metropolis UI Dark");
  EXPECT_TRUE(TStyleManager::TrySetStyle("Metropolis UI Dark", true));
  EXPECT_EQ(listings, 1) << "the resources are read on the first call only";
  EXPECT_TRUE(dialogs.empty());
}

TEST_F(StyleManagerFixture, AMissingStyleShowsTheDialogOnlyWhenAskedAndLeavesNoStyle) {
  EXPECT_FALSE(TStyleManager::TrySetStyle("Metropolis UI Dark", false));
  EXPECT_TRUE(dialogs.empty());
  EXPECT_FALSE(TStyleManager::TrySetStyle("Metropolis UI Dark", true));
  EXPECT_EQ(dialogs, std::vector<std::string>{"Style 'Metropolis UI Dark' not found"});
  EXPECT_EQ(TStyleManager::ActiveStyle(), nullptr);
}

TEST_F(StyleManagerFixture, UnreadableResourcesFailTheFirstCall) {
  embedded.push_back({"METROPOLISUIDARK", Bytes("garbage")});
  try {
    TStyleManager::TrySetStyle("Metropolis UI Dark", true);
    FAIL();
  } catch (const EStyleError& e) {
    EXPECT_STREQ(e.what(), "Unable to load style 'METROPOLISUIDARK'");
  }
  TStyleManager::Reset();
  embedded.push_back({"OTHER", {}});
  Embed("GOOD", "Good");
  try {
    TStyleManager::TrySetStyle("Good", true);
    FAIL();
  } catch (const EStyleError& e) {
    EXPECT_STREQ(e.what(), "Unable to load styles: METROPOLISUIDARK, OTHER");
  }
}

}  // namespace
}  // namespace fw
