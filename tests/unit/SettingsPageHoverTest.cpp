// The hover reset of the settings pages (desktop, security, title and
// Pinnote): a picture button hovered, then the pointer moved on; the
// background returns every picture to its first look, the title bar the
// close pair, and the settings frame only the description box.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/Gestures.h"
#include "support/ScreenProbe.h"
#include "support/TestDesktop.h"

namespace velmora::testing {
namespace {

using Names = std::set<std::string>;

const Names kButtonPictures = {"Image1", "Image2", "Image3", "Image4", "Image5", "Image6", "save", "back"};
const Names kFirstLook = {"Image1", "Image2", "Image5"};

Names visiblePictures(const Form& form) {
  Names shown;
  for (const auto& name : visibleControls(form))
    if (kButtonPictures.count(name)) shown.insert(name);
  return shown;
}

struct Hover {
  const char* what;
  const char* normal;
  const char* hover;
};
constexpr Hover kHovers[] = {
    {.what = "save", .normal = "Image1", .hover = "Image4"},
    {.what = "back", .normal = "Image5", .hover = "Image6"},
    {.what = "close", .normal = "Image2", .hover = "Image3"},
};

enum class MovedOnto { Background, TitleBar, SettingsFrame };

TEST(SettingsPageHover, EachPlaceTheResetCoversReturnsItsPicturesToTheirFirstLook) {
  struct Case {
    const char* place;
    MovedOnto onto;
  };
  const Case places[] = {{"the background", MovedOnto::Background},
                         {"the title bar", MovedOnto::TitleBar},
                         {"the settings frame", MovedOnto::SettingsFrame}};
  for (const char* page : {"Form1", "Form2", "Form3", "DLB"}) {
    for (const Hover& hover : kHovers) {
      for (const Case& place : places) {
        SCOPED_TRACE(std::string(page) + ": " + hover.what + " hovered, then " + place.place);
        TestDesktop d;
        reach(d, page);
        const std::string description = page == std::string("Form3") ? "Label2" : "Label1";
        const std::string note = page == std::string("Form3") ? "Label3" : "Label2";
        // An option's texts in the description box first, to see them go.
        d.shown().c(description).setCaption("x");
        d.shown().c(note).setCaption("y");
        d.moveTo(hover.normal);
        Names hovered = kFirstLook;
        hovered.erase(hover.normal);
        hovered.insert(hover.hover);
        ASSERT_EQ(visiblePictures(d.shown()), hovered);

        switch (place.onto) {
          case MovedOnto::Background:
            d.moveTo(backgroundPoint(d.shown()));
            break;
          case MovedOnto::TitleBar:
            d.moveTo("Picture1");
            break;
          case MovedOnto::SettingsFrame:
            d.moveTo("Frame1");
            break;
        }
        Form& form = d.shown();
        // The title bar resets the close pair only; the frame no picture.
        const bool pictures = place.onto == MovedOnto::Background ||
                              (place.onto == MovedOnto::TitleBar && hover.normal == std::string("Image2"));
        EXPECT_EQ(visiblePictures(form), pictures ? kFirstLook : hovered);
        const bool texts = place.onto != MovedOnto::TitleBar;
        EXPECT_EQ(form.c(description).Caption(), texts ? "请您在上面的选项中进行选择。" : "x");
        EXPECT_EQ(form.c(note).Caption(), texts ? "更多功能？请期待新版本。。。" : "y");
      }
    }
  }
}

}  // namespace
}  // namespace velmora::testing
