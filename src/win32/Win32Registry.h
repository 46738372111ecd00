#pragma once
// Registry access on whole paths through the registry API directly, so that
// it works where Windows Script Host is switched off.
#include "platform/RegistryShell.h"

namespace velmora::win32 {

class Win32Registry : public RegistryShell {
 public:
  std::unique_ptr<RegistryShellObject> CreateObject() override;
};

}  // namespace velmora::win32
