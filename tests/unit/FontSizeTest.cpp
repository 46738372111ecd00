// The fonts the view asks the system for: a point size becomes the pixel
// height it has at 96 DPI, whatever DPI the system reports, since the
// pictures, windows and control boxes keep their pixel sizes at every DPI.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "support/TestDesktop.h"

namespace velmora::testing {
namespace {

// The DPIs a system may report: normal, Large (125 %) and 150 %.
constexpr int kSystemDpis[] = {96, 120, 144};

TEST(FontSize, APointSizeIsTheSameNumberOfPixelsAtEveryDpi) {
  // Each point size at the DPIs a system may report, with the character
  // height the system itself makes of it there. The layout is drawn at
  // 96 DPI: the view asks for that height at every DPI.
  struct Row {
    double points;
    int dpi;
    int systemPixels;
  };
  const Row rows[] = {
      {9, 96, 12},   {9, 120, 15},   {9, 144, 18},    // common font of every screen
      {10.5, 96, 14}, {10.5, 120, 18}, {10.5, 144, 21},  // the help page's frame captions
  };
  std::map<double, int> atDesignDpi;
  for (const Row& row : rows)
    if (row.dpi == kDesignDpi) atDesignDpi[row.points] = row.systemPixels;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.points) + " pt at " + std::to_string(row.dpi) + " DPI");
    const FontRequest request = fontRequest(Font{.points = row.points}, row.dpi);
    EXPECT_EQ(request.pixelHeight, atDesignDpi.at(row.points));
    if (row.dpi != kDesignDpi) {
      EXPECT_LT(request.pixelHeight, row.systemPixels);
    }
  }
}

TEST(FontSize, TheFaceWeightAndCharacterSetAreAskedForAsGiven) {
  const FontRequest plain = fontRequest(Font{}, kDesignDpi);  // also the tooltips' font
  EXPECT_EQ(plain.face, "微软雅黑");
  EXPECT_EQ(plain.pixelHeight, 12);
  EXPECT_EQ(plain.weight, 400);
  EXPECT_EQ(plain.charset, 134);
  const FontRequest bold =
      fontRequest(Font{.face = "宋体", .points = 10.5, .bold = true, .charset = 0}, kDesignDpi);
  EXPECT_EQ(bold.face, "宋体");
  EXPECT_EQ(bold.pixelHeight, 14);
  EXPECT_EQ(bold.weight, 700);
  EXPECT_EQ(bold.charset, 0);
}

// Every control that shows text, on every screen: the view asks for its
// font at the 96-DPI height of its point size whatever DPI the system
// reports, and its box is at least that high, so one line of its text fits
// the box at every DPI.
TEST(FontSize, EveryTextControlOfEveryScreenAsksForItsDesignedHeight) {
  const std::map<double, int> designed = {{9, 12}, {10.5, 14}};
  const std::set<ControlKind> textKinds = {ControlKind::Label, ControlKind::Frame, ControlKind::CheckBox,
                                           ControlKind::OptionButton, ControlKind::TextBox};
  const Screen screens[] = {Screen::FormLoad, Screen::FormMain, Screen::Loading, Screen::Form1, Screen::Form2,
                            Screen::Form3,    Screen::Form4,    Screen::Form5,   Screen::Form6, Screen::DLB};
  TestDesktop d;
  d.startToMainWindow();
  std::set<ControlKind> seen;
  for (Screen screen : screens) {
    Form& form = d.app.form(screen);
    form.load();
    for (const auto& control : form.controls()) {
      if (!textKinds.count(control->kind())) continue;
      SCOPED_TRACE(form.name() + "." + control->name());
      seen.insert(control->kind());
      ASSERT_TRUE(designed.count(control->Font().points)) << control->Font().points << " pt";
      for (int dpi : kSystemDpis) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        const FontRequest request = fontRequest(control->Font(), dpi);
        EXPECT_EQ(request.pixelHeight, designed.at(control->Font().points));
        EXPECT_EQ(request.face, control->Font().face);
        EXPECT_GE(control->rect().height, request.pixelHeight);
      }
    }
  }
  EXPECT_EQ(seen, textKinds);
}

}  // namespace
}  // namespace velmora::testing
