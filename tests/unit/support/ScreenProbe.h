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

}  // namespace velmora::testing
