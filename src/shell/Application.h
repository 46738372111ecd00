#pragma once
// The running program: one page object per window kind, created on first
// use, and the screen switches that move the user between them.
#include <array>
#include <functional>
#include <memory>

#include "platform/Platform.h"
#include "shell/Form.h"

namespace velmora {

enum class Screen { FormLoad, FormMain, Loading, Form1, Form2, Form3, Form4, Form5, Form6, DLB };
constexpr std::size_t kScreenCount = 10;

class Application {
 public:
  explicit Application(Platform& platform);
  ~Application();

  Platform& platform() { return platform_; }
  // The page object of a window kind; created on first use, kept for the run.
  Form& form(Screen screen);
  template <class T>
  T& page(Screen screen) { return static_cast<T&>(form(screen)); }

  // Program start: the splash.
  void start();

  // The screen switches. The main window opens pages and unloads itself;
  // every page returns to a newly loaded main window.
  void switchViaLoading(Screen target);
  void directSwitch(Screen target);
  void returnUnloadFirst(Form& page);
  void returnShowFirst(Form& page);
  void splashHandOver(Form& splash);

  // Ends the program at once: every window goes, nothing is asked or written.
  void endProgram();
  bool ended() const { return ended_; }
  // Throws when the program has ended, so that the rest of a handler that
  // ended it does not run.
  void checkRunning() const;

  // Runs one event: a failure to make a window or picture ends the program
  // with a message naming it, instead of a crash.
  void guard(const std::function<void()>& handler);

 private:
  void closeEverything();

  Platform& platform_;
  std::array<std::unique_ptr<Form>, kScreenCount> pages_;
  bool ended_ = false;
};

}  // namespace velmora
