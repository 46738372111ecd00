#pragma once
// Which Windows the program runs on, by name, from the version text; the
// tweak pages limit themselves on anything but Windows XP.
#include <string>

#include "platform/OsVersion.h"

namespace velmora {

inline constexpr const char* kWindowsXp = "Windows XP";
inline constexpr const char* kNotXpHint = "由于您当前不是XP系统，部分功能无法使用。";

// The name for a version text, from its first three characters: "5.1..." is
// Windows XP; anything unknown, or no text at all, is "i don't know".
std::string osNameForVersion(const std::string& versionText);

std::string DetectOsName(OsVersion& osVersion);

}  // namespace velmora
