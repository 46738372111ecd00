#include "tweaks/DetectOsName.h"

namespace velmora {

std::string osNameForVersion(const std::string& versionText) {
  struct Known {
    const char* prefix;
    const char* name;
  };
  static constexpr Known kKnown[] = {
      {"5.2", "Windows Server 2003"},
      {"5.0", "Windows 2000"},
      {"5.1", kWindowsXp},
      {"6.0", "windows visita"},
  };
  const std::string prefix = versionText.substr(0, 3);
  for (const Known& known : kKnown)
    if (prefix == known.prefix) return known.name;
  return "i don't know";
}

std::string DetectOsName(OsVersion& osVersion) {
  return osNameForVersion(osVersion.VersionText().value_or(""));
}

}  // namespace velmora
