#pragma once
// The running program: one page object per window kind, created on first
// use and kept for the run, and the screen switches carried out on them.
// It is given the services; the Windows entry point gives it the real ones,
// the tests give it fakes.
#include <array>
#include <memory>

#include "shell/framework/Form.h"
#include "shell/framework/Runtime.h"

namespace velmora {

class Program : public Navigator {
 public:
  explicit Program(Services& services);
  ~Program() override;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The page object of a window kind; created on first use, kept for the run.
  Form& form(Screen screen);
  template <class T>
  T& page(Screen screen) { return static_cast<T&>(form(screen)); }

  // Program start: the splash.
  void start();
  bool ended() const { return runtime_.ended(); }

  // The screen switches. The main window opens pages and unloads itself;
  // every page returns to a newly loaded main window.
  void switchViaLoading(Screen target) override;
  void directSwitch(Screen target) override;
  void returnUnloadFirst(Form& page) override;
  void returnShowFirst(Form& page) override;
  void splashHandOver(Form& splash) override;

 private:
  // Declared before the pages: they leave it when they go.
  Runtime runtime_;
  std::array<std::unique_ptr<Form>, kScreenCount> pages_;
};

}  // namespace velmora
