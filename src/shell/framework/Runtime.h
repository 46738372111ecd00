#pragma once
// The run of the program as every form sees it: the services, whether the
// run has ended, and the guard each event runs under. Every form enrols
// here for its lifetime, so that the end of the run reaches each of them.
#include <functional>
#include <vector>

#include "shell/framework/Services.h"

namespace velmora {

class Form;

class Runtime {
 public:
  explicit Runtime(Services& services) : services_(services) {}
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  Services& services() const { return services_; }

  // Forms are kept in the order of their window kinds.
  void enrol(Form& form);
  void withdraw(Form& form);

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

  Services& services_;
  std::vector<Form*> forms_;
  bool ended_ = false;
};

}  // namespace velmora
