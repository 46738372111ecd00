#include "shell/framework/Runtime.h"

#include <algorithm>
#include <string>

#include "shell/framework/Form.h"

namespace velmora {

namespace {

// Unwinds the rest of a handler once the program has ended.
struct ProgramEnded {};

bool kindBefore(const Form* a, const Form* b) { return a->kind() < b->kind(); }

}  // namespace

void Runtime::enrol(Form& form) {
  forms_.insert(std::upper_bound(forms_.begin(), forms_.end(), &form, kindBefore), &form);
}

void Runtime::withdraw(Form& form) { std::erase(forms_, &form); }

void Runtime::endProgram() {
  if (ended_) return;
  ended_ = true;
  closeEverything();
}

void Runtime::closeEverything() {
  for (Form* form : forms_) form->unload();
  services_.windows.EndProgram();
}

void Runtime::checkRunning() const {
  if (ended_) throw ProgramEnded{};
}

void Runtime::guard(const std::function<void()>& handler) {
  if (ended_) return;
  try {
    handler();
  } catch (const ProgramEnded&) {
  } catch (const PlatformFailure& failure) {
    if (ended_) return;
    // Stop first, so that no event delivered while the message is up runs
    // and nothing is written after the failure.
    ended_ = true;
    services_.messageBox.MsgBox(std::string("Velmora 无法继续运行：") + failure.what() + "\r\n程序将退出。",
                                msgbox::kCritical, "错误");
    closeEverything();
  }
}

}  // namespace velmora
