// Long seeded random runs over every screen: pointer moves to random points
// and onto named controls, presses and releases of any button, the space bar
// on check boxes and option buttons, the keys of the page (Tab, Shift+Tab,
// Enter, Esc, Space, the arrows) wherever the focus is, characters typed
// into the title box, splash ticks and Alt+F4. After every event: exactly one screen is on view
// (or the program has ended, and a fresh one starts over the same registry
// and store); nothing escaped; the registry and the settings store changed
// only inside a save, and at exactly the settings whose marks were up —
// which also proves the marks outlived every unload in between.
//
// The marks are followed by a model of the pointer capture as a form keeps
// it: the first press takes the capture for the control under the pointer,
// it ends when every button is up, when a move reports no button, when the
// window is handed to the window manager for a drag, or when the window goes.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>

#include "support/ScreenProbe.h"
#include "support/TweakProbe.h"

namespace velmora::testing {
namespace {

bool isTweakPage(const std::string& form) { return form == "Form1" || form == "Form2"; }
bool isSettingsPage(const std::string& form) { return isTweakPage(form) || form == "Form3" || form == "DLB"; }

// What a save of each settings page would write now: the registry paths of
// the tweak pages, the Pinnote keys of the store.
struct Marks {
  std::map<std::string, std::set<std::string>> up;  // page -> settings

  void raise(const std::string& page, const std::string& setting) { up[page].insert(setting); }
};

std::string settingOfBox(const std::string& page, int index) {
  return page == "Form1" ? kDesktopPaths[static_cast<std::size_t>(index)]
                         : kSecurityPaths[static_cast<std::size_t>(index)];
}

// A form's pointer capture, as Form keeps it.
struct Capture {
  bool captured = false;
  std::string target;  // "" for the background
  int buttons = 0;
};

class RandomRun {
 public:
  explicit RandomRun(unsigned seed) : seed_(seed), rng_(seed) { restart(); }

  void run(int events) {
    for (int i = 0; i < events; ++i) {
      step_ = i;
      event();
      if (::testing::Test::HasFailure()) return;
    }
  }

  int restarts() const { return restarts_; }
  const std::vector<std::string>& history() const { return history_; }
  int saves() const { return saves_; }

 private:
  // --- the program ------------------------------------------------------------

  void restart() {
    auto fresh = std::make_unique<TestDesktop>();
    if (d_) {
      fresh->fake.registry.values = d_->fake.registry.values;
      fresh->fake.settings.values = d_->fake.settings.values;
      ++restarts_;
    }
    d_ = std::move(fresh);
    // Every other seed runs on a Windows other than XP, with boxes locked.
    if (seed_ % 2) d_->fake.osVersion.version = "6.1.7601";
    marks_ = {};
    captures_.clear();
    d_->app.start();
    snapshot();
  }

  void snapshot() {
    registry_ = d_->fake.registry.values;
    settings_ = d_->fake.settings.values;
    registryLog_ = d_->fake.registry.log.size();
    settingsLog_ = d_->fake.settings.log.size();
    windowLog_ = d_->fake.windowing.log.size();
    user32Log_ = d_->fake.user32.calls.size();
  }

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

  std::string where() const {
    std::ostringstream out;
    out << "seed " << seed_ << ", event " << step_ << ": " << what_;
    return out.str();
  }

  // --- one random event, then the checks ----------------------------------------

  void event() {
    Form& form = d_->shown();
    const std::string name = form.name();
    expectedSave_.reset();
    what_.clear();
    try {
      const int kind = name == "FormLoad" && chance(0.5) ? 0 : pick(100);
      if (kind < 4) {
        what_ = "splash tick";
        d_->tickSplash();
      } else if (kind < 34) {
        moveOntoControl(form);
      } else if (kind < 48) {
        const Point p{pick(form.clientWidth() * 3) / 3.0, pick(form.clientHeight() * 3) / 3.0};
        what_ = "move to (" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
        move(form, p);
      } else if (kind < 68) {
        press(form);
      } else if (kind < 90) {
        release();
      } else if (kind < 93) {
        space(form);
      } else if (kind < 97) {
        key(form);
      } else if (kind < 99) {
        typeInto(form);
      } else if (name != "FormMain" || chance(0.05)) {
        what_ = "Alt+F4 on " + name;
        form.systemClose();
      }
    } catch (const std::exception& e) {
      ADD_FAILURE() << where() << " threw " << e.what();
      return;
    } catch (...) {
      ADD_FAILURE() << where() << " threw";
      return;
    }
    afterEvent();
  }

  void moveOntoControl(Form& form) {
    std::vector<const Control*> candidates;
    for (const auto& control : form.controls())
      if (control->Visible() && control->kind() != ControlKind::Timer) candidates.push_back(control.get());
    if (candidates.empty()) return;
    const Control& target = *candidates[static_cast<std::size_t>(pick(static_cast<int>(candidates.size())))];
    // The main window's close picture ends the run: it is left alone most of the time.
    if (form.name() == "FormMain" && target.name() == "Image3" && !chance(0.05)) return;
    what_ = "move onto " + form.name() + "." + target.name();
    try {
      move(form, d_->pointOn(target.name()));
    } catch (const std::logic_error&) {
      // covered by a later control everywhere
    }
  }

  void move(Form& form, Point p) {
    const int mask = d_->held;
    Capture& capture = captures_[form.name()];
    if (capture.captured && mask == 0) capture = {};
    d_->moveTo(p);
  }

  void press(Form& form) {
    static constexpr std::array<int, 3> kButtons = {button::kLeft, button::kRight, button::kMiddle};
    const int b = kButtons[static_cast<std::size_t>(chance(0.7) ? 0 : 1 + pick(2))];
    if (d_->held & b) return;
    if (form.name() == "FormMain" && !chance(0.05)) {
      const Control* under = form.controlAt(d_->pointer.x, d_->pointer.y);
      if (under && under->name() == "Image3") return;
    }
    Capture& capture = captures_[form.name()];
    if (!capture.captured) {
      const Control* under = form.controlAt(d_->pointer.x, d_->pointer.y);
      capture = {true, under ? under->name() : std::string(), 0};
    }
    capture.buttons |= b;
    if (d_->held == 0) {  // the desktop sends the release where the first press went
      pressedOn_ = form.name();
      const Control* under = form.controlAt(d_->pointer.x, d_->pointer.y);
      pressTarget_ = under ? under->name() : std::string();
    }
    what_ = "press " + std::to_string(b) + " on " + form.name() + "." + capture.target;
    // Only a left press marks a box, whatever control took the capture.
    if (b == button::kLeft) {
      const std::string& t = capture.target;
      if (isTweakPage(form.name()) && t.size() == 6 && t.rfind("Check", 0) == 0)
        marks_.raise(form.name(), settingOfBox(form.name(), t[5] - '1'));
      if (form.name() == "DLB" && t == "Check1") marks_.raise("DLB", "Front");
    }
    d_->press(b);
  }

  void release() {
    if (d_->held == 0) return;
    int b = button::kLeft;
    while (!(d_->held & b)) b <<= 1;
    Form* form = d_->app.form(screenOf(pressedOn_)).loaded() ? &d_->app.form(screenOf(pressedOn_)) : nullptr;
    what_ = "release " + std::to_string(b) + " (pressed on " + pressedOn_ + ")";
    if (form) expectFromRelease(*form, b);
    d_->release(b);
  }

  // What the release will do to the marks, worked out before it runs.
  void expectFromRelease(Form& form, int b) {
    const Control* under = form.controlAt(d_->pointer.x, d_->pointer.y);
    const std::string underName = under ? under->name() : std::string();
    // A native option button toggles on a left click that ended where it began.
    if (form.name() == "DLB" && b == button::kLeft && under && underName == pressTarget_ &&
        (underName == "Option1" || underName == "Option2") && under->Enabled())
      marks_.raise("DLB", "Skin");
    Capture& capture = captures_[form.name()];
    if (!capture.captured) return;
    const std::string target = capture.target;
    capture.buttons &= ~b;
    if (capture.buttons == 0) capture = {};
    if (target == "Image4" && isSettingsPage(form.name())) {
      expectedSave_ = form.name();
      return;
    }
    // A click on a picture or label: left, ending on the control that took the press.
    if (form.name() != "DLB" || b != button::kLeft || !under || underName != target || under->windowed()) return;
    if (target == "skinimage1" || target == "skinimage2") marks_.raise("DLB", "Skin");
    if (target == "RED" || target == "GREEN" || target == "BLACK") marks_.raise("DLB", "Color");
  }

  void space(Form& form) {
    std::vector<std::string> boxes;
    for (const auto& control : form.controls())
      if (control->kind() == ControlKind::CheckBox || control->kind() == ControlKind::OptionButton)
        boxes.push_back(control->name());
    if (boxes.empty()) return;
    const std::string box = boxes[static_cast<std::size_t>(pick(static_cast<int>(boxes.size())))];
    what_ = "space on " + form.name() + "." + box;
    form.focusTaken(box);
    keyOnFocus(form, Key::Space, false);
  }

  void key(Form& form) {
    static constexpr std::array<Key, 8> kKeys = {Key::Tab,   Key::Enter, Key::Escape, Key::Space,
                                                 Key::Left, Key::Right, Key::Up,     Key::Down};
    const Key k = kKeys[static_cast<std::size_t>(pick(static_cast<int>(kKeys.size())))];
    const bool shift = chance(0.3);
    what_ = "key " + std::to_string(static_cast<int>(k)) + (shift ? " with shift" : "") + " on " + form.name();
    keyOnFocus(form, k, shift);
  }

  // What a key of the page will do to the marks and whether it saves,
  // worked out from the item with the focus before it runs.
  void keyOnFocus(Form& form, Key k, bool shift) {
    const int focused = form.focusedItem();
    const std::string page = form.name();
    if (focused >= 0 && form.itemAvailable(focused)) {
      const Item& item = form.items()[static_cast<std::size_t>(focused)];
      const std::string control = item.parts.front();
      const bool onButton = item.role == Role::PushButton || item.role == Role::Link;
      if (isSettingsPage(page) && ((k == Key::Enter && item.setting) || ((k == Key::Enter || k == Key::Space) &&
                                                                         onButton && item.name == "保存")))
        expectedSave_ = page;
      if (k == Key::Space && item.role == Role::CheckButton) {
        if (isTweakPage(page)) marks_.raise(page, settingOfBox(page, control[5] - '1'));
        if (page == "DLB") marks_.raise("DLB", "Front");
      }
      const bool arrow = k == Key::Left || k == Key::Right || k == Key::Up || k == Key::Down;
      if (page == "DLB" && item.role == Role::RadioButton && (k == Key::Space || arrow)) marks_.raise("DLB", "Skin");
      if (page == "DLB" && onButton && (k == Key::Space || k == Key::Enter) && !item.setting &&
          (control == "skinimage1" || control == "skinimage2"))
        marks_.raise("DLB", "Skin");
      if (page == "DLB" && onButton && k == Key::Space && (control == "RED" || control == "GREEN" || control == "BLACK"))
        marks_.raise("DLB", "Color");
    }
    if (focused >= 0) what_ += " [" + form.itemName(focused) + (form.itemAvailable(focused) ? "" : " unavailable") + "]";
    d_->key(k, shift);
  }

  void typeInto(Form& form) {
    if (form.name() != "Form3") {
      what_ = "key on " + form.name();
      d_->type("Text1", 'k');  // read-only or absent: nothing may come of it
      return;
    }
    static const std::string kKeys = "aZ9 -\b";
    const char key = kKeys[static_cast<std::size_t>(pick(static_cast<int>(kKeys.size())))];
    what_ = std::string("type '") + (key == '\b' ? std::string("\\b") : std::string(1, key)) + "' into Text1";
    marks_.raise("Form3", kTitlePath);
    typeKey(*d_, "Text1", key);
  }

  static Screen screenOf(const std::string& name) {
    static const std::map<std::string, Screen> kScreens = {
        {"FormLoad", Screen::FormLoad}, {"FormMain", Screen::FormMain}, {"Loading", Screen::Loading},
        {"Form1", Screen::Form1},       {"Form2", Screen::Form2},       {"Form3", Screen::Form3},
        {"Form4", Screen::Form4},       {"Form5", Screen::Form5},       {"Form6", Screen::Form6},
        {"DLB", Screen::DLB}};
    return kScreens.at(name);
  }

  // --- the checks -------------------------------------------------------------------

  void afterEvent() {
    FakePlatform& fake = d_->fake;
    for (const auto& message : fake.messageBox.shown)
      ASSERT_NE(message.style, msgbox::kCritical) << where() << ": " << message.prompt;

    // Writes of this event.
    std::set<std::string> written;
    for (std::size_t i = registryLog_; i < fake.registry.log.size(); ++i) {
      const std::string& entry = fake.registry.log[i];
      for (const char* verb : {"write ", "delete "})
        if (entry.rfind(verb, 0) == 0) {
          const std::string rest = entry.substr(std::string(verb).size());
          written.insert(rest.substr(0, rest.find(" = ")));
        }
    }
    for (std::size_t i = settingsLog_; i < fake.settings.log.size(); ++i) {
      const std::string& entry = fake.settings.log[i];
      if (entry.rfind("save Pinnote\\", 0) == 0) written.insert(entry.substr(13, entry.find('=') - 13));
      if (entry.rfind("save VrOpt\\", 0) == 0) ADD_FAILURE() << where() << ": the splash number written again";
    }

    if (expectedSave_) {
      const std::set<std::string> wanted = marks_.up[*expectedSave_];
      EXPECT_EQ(written, wanted) << where() << ": the save of " << *expectedSave_;
      // The tweak pages lower what they wrote; the Pinnote marks stay up.
      if (*expectedSave_ != "DLB") marks_.up[*expectedSave_].clear();
      ++saves_;
    } else {
      EXPECT_TRUE(written.empty()) << where() << ": written outside a save";
      EXPECT_EQ(fake.registry.values, registry_) << where() << ": the registry changed outside a save";
      EXPECT_EQ(fake.settings.values, settings_) << where() << ": the store changed outside a save";
    }

    // A window made or destroyed starts its capture afresh; a drag ends it.
    for (std::size_t i = windowLog_; i < fake.windowing.log.size(); ++i) {
      const std::string& entry = fake.windowing.log[i];
      for (const char* verb : {"create ", "destroy "})
        if (entry.rfind(verb, 0) == 0) captures_.erase(entry.substr(std::string(verb).size()));
    }
    for (std::size_t i = user32Log_; i < fake.user32.calls.size(); ++i)
      if (fake.user32.calls[i] == "ReleaseCapture()" && !d_->app.ended()) captures_.erase(d_->shown().name());
    history_.push_back(what_ + " -> " + (d_->app.ended() ? std::string("ended") : d_->shownName()));

    if (d_->app.ended()) {
      EXPECT_TRUE(fake.windowing.forms.empty()) << where() << ": a window outlives the end";
      restart();
      return;
    }
    ASSERT_EQ(fake.windowing.visibleNames().size(), 1u) << where() << ": screens on view";
    snapshot();
  }

  unsigned seed_;
  std::mt19937 rng_;
  std::unique_ptr<TestDesktop> d_;
  Marks marks_;
  std::map<std::string, Capture> captures_;
  std::string pressedOn_;
  std::string pressTarget_;
  std::vector<std::string> history_;
  std::optional<std::string> expectedSave_;
  std::string what_;
  int step_ = 0;
  int restarts_ = 0;
  int saves_ = 0;

  std::map<std::string, RegValue> registry_;
  std::map<FakeSettings::Key, std::string> settings_;
  std::size_t registryLog_ = 0, settingsLog_ = 0, windowLog_ = 0, user32Log_ = 0;
};

// Seeds to run: VELMORA_RANDOM_SEED picks one (to repeat a failure).
std::vector<unsigned> seeds() {
  if (const char* seed = std::getenv("VELMORA_RANDOM_SEED")) return {static_cast<unsigned>(std::stoul(seed))};
  return {1, 2, 3, 20240601, 777};
}

TEST(RandomRun, ThousandsOfEventsKeepOneScreenAndWriteOnlyAtSaves) {
  int saves = 0;
  for (unsigned seed : seeds()) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (VELMORA_RANDOM_SEED=" + std::to_string(seed) + " repeats it)");
    RandomRun run(seed);
    run.run(8000);
    saves += run.saves();
    if (HasFailure()) return;
  }
  // A run that never reached a save would prove little about the marks.
  EXPECT_GT(saves, 0);
}

TEST(RandomRun, TheSameSeedGivesTheSameRun) {
  auto trace = [](unsigned seed) {
    RandomRun run(seed);
    run.run(1500);
    return run.history();
  };
  EXPECT_EQ(trace(5), trace(5));
}

}  // namespace
}  // namespace velmora::testing
