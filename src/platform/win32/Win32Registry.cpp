#include "platform/win32/Win32Registry.h"

namespace velmora::win32 {

std::unique_ptr<RegistryShellObject> Win32Registry::CreateObject() { return nullptr; }

}  // namespace velmora::win32
