#pragma once
// One save of a tweak page: each setting is written with a fresh shell
// object, and a setting that cannot be written does not stop the others.
// At the end the user hears, in one warning, which settings were not
// written and why; a save where everything was written says nothing.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/RegistryShell.h"
#include "shell/framework/Form.h"

namespace velmora {

class SaveReport {
 public:
  using Action = std::function<RegResult<bool>(RegistryShellObject&)>;

  // `setting` is the name the user knows it by; true when it was written.
  bool write(const std::string& setting, RegistryShell& registry, const Action& action);

  bool allWritten() const { return failures_.empty(); }
  std::string message() const;

  // True when the page may be left. Otherwise the warning is shown and the
  // save button looks as it did before it was pressed.
  bool finish(Form& page) const;

 private:
  std::vector<std::pair<std::string, std::string>> failures_;  // setting, why
  int written_ = 0;
};

}  // namespace velmora
