#pragma once
// Looking at the screens from a test: which controls show, a point on a
// window's bare background, the user32 calls made on one window, and
// whether anything at all reached the platform since a given moment.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "support/TestDesktop.h"

namespace velmora::testing {

using Log = std::vector<std::string>;

// The names of the form's visible controls.
inline std::set<std::string> visibleControls(const Form& form) {
  std::set<std::string> names;
  for (const auto& control : form.controls())
    if (control->Visible()) names.insert(control->name());
  return names;
}

// A point, as near the middle as there is one, where the form's own
// background takes the pointer.
inline Point backgroundPoint(const Form& form) {
  std::vector<Point> grid;
  for (double y = 2.5; y < form.clientHeight(); y += 5)
    for (double x = 2.5; x < form.clientWidth(); x += 5) grid.push_back({x, y});
  const double cx = form.clientWidth() / 2.0, cy = form.clientHeight() / 2.0;
  std::stable_sort(grid.begin(), grid.end(), [&](const Point& a, const Point& b) {
    return std::hypot(a.x - cx, a.y - cy) < std::hypot(b.x - cx, b.y - cy);
  });
  for (const Point& p : grid)
    if (!form.controlAt(p.x, p.y)) return p;
  throw std::logic_error(form.name() + " shows no background");
}

// Where a control lies in its container, in pixels: left, top, width, height.
inline std::vector<double> placeOf(const Rect& r) { return {r.left, r.top, r.width, r.height}; }
inline std::vector<double> placeOf(const Control& control) { return placeOf(control.rect()); }

// The name of the control's container; "" for the window itself.
inline std::string containerOf(const Control& control) {
  return control.container() ? control.container()->name() : "";
}

// The control's font: this face and size, regular, GB2312 character set.
inline void expectFont(const Control& control, const std::string& face, double points) {
  EXPECT_EQ(control.Font().face, face);
  EXPECT_EQ(control.Font().points, points);
  EXPECT_FALSE(control.Font().bold);
  EXPECT_EQ(control.Font().charset, 134);
}

// The user32 calls made with one window's handle, in order.
inline Log callsOn(const FakeUser32& user32, WindowHandle window) {
  const std::string handle = "(" + FakeUser32::hex(window) + ",";
  Log calls;
  for (const auto& call : user32.calls)
    if (call.find(handle) != std::string::npos) calls.push_back(call);
  return calls;
}

// Gives every window the desktop creates from now on this extended style.
inline void presetExtendedStyle(TestDesktop& d, std::int32_t style) {
  for (WindowHandle w = d.fake.windowing.nextHandle; w < d.fake.windowing.nextHandle + 32; ++w)
    d.fake.user32.styles[w] = style;
}

// Everything the program has asked of the platform so far.
struct Activity {
  Log windows, user32, settings, changes;
  std::size_t messages = 0;
  std::size_t programsStarted = 0;
};

inline Activity activityOf(const FakePlatform& fake) {
  return {fake.windowing.log, fake.user32.calls, fake.settings.log, fake.windowing.changes,
          fake.messageBox.shown.size(), fake.programStart.started.size()};
}

inline void expectNothingSince(const Activity& before, const FakePlatform& fake) {
  const Activity now = activityOf(fake);
  EXPECT_EQ(now.windows, before.windows);
  EXPECT_EQ(now.user32, before.user32);
  EXPECT_EQ(now.settings, before.settings);
  EXPECT_EQ(now.changes, before.changes);
  EXPECT_EQ(now.messages, before.messages);
  EXPECT_EQ(now.programsStarted, before.programsStarted);
}

// The run ended on a failure: a single stop message naming what failed,
// every window gone, and the end of the message loop last.
inline void expectEndedByOneStopMessage(TestDesktop& d, const std::string& named) {
  ASSERT_EQ(d.fake.messageBox.shown.size(), 1u);
  const ShownMessage& message = d.fake.messageBox.shown[0];
  EXPECT_EQ(message.style, 16);
  EXPECT_NE(message.prompt.find(named), std::string::npos) << message.prompt;
  EXPECT_TRUE(d.app.ended());
  ASSERT_FALSE(d.fake.windowing.log.empty());
  EXPECT_EQ(d.fake.windowing.log.back(), "end");
  EXPECT_TRUE(d.fake.windowing.forms.empty()) << "a window outlives the end";
}

// Input of every kind to every window kind, loaded or not.
inline void pokeEveryWindow(TestDesktop& d) {
  for (std::size_t i = 0; i < kScreenCount; ++i) {
    Form& form = d.app.form(static_cast<Screen>(i));
    form.mouseMove(100, 100, 0);
    form.mouseDown(100, 100, button::kLeft);
    form.mouseMove(20, 10, button::kLeft);
    form.mouseUp(100, 100, button::kLeft);
    form.timerTick("Timer1");
    form.keyPress("Text1", 'a');
    form.userToggle("Check1");
    form.systemClose();
  }
  d.app.start();
}

// Once the program has ended, input of any kind reaches nothing.
inline void expectDeafAfterTheEnd(TestDesktop& d) {
  const Activity ended = activityOf(d.fake);
  EXPECT_NO_THROW(pokeEveryWindow(d));
  expectNothingSince(ended, d.fake);
}

}  // namespace velmora::testing
