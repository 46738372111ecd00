#pragma once
// The registry's own formats, kept apart from the API calls so that they can
// be checked anywhere: whole paths split into root, key and value name, raw
// value data turned into what a read gives, and values turned into the raw
// data a write stores.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryShell.h"

namespace velmora {

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

struct RegPath {
  RegRoot root = RegRoot::CurrentUser;
  std::string key;        // below the root, without leading or trailing backslash
  std::string valueName;  // empty for the key's default value (a path ending in "\")
  bool operator==(const RegPath&) const = default;
};

// "HKEY_CURRENT_USER\Software\X\Name" or "HKCU\Software\X\Name"; empty when
// the root key is not one the registry has.
std::optional<RegPath> parseRegPath(const std::string& path);

// Registry value types, as the registry numbers them.
namespace regtype {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kSz = 1;
constexpr std::uint32_t kExpandSz = 2;
constexpr std::uint32_t kBinary = 3;
constexpr std::uint32_t kDword = 4;
constexpr std::uint32_t kDwordBigEndian = 5;
constexpr std::uint32_t kMultiSz = 7;
constexpr std::uint32_t kQword = 11;
}  // namespace regtype

// Raw data as the registry stores it: strings in UTF-16LE.
using RegBytes = std::vector<std::uint8_t>;

// Never fails: data of a size its type does not allow reads as an other value.
RegValue decodeRegValue(std::uint32_t type, const RegBytes& data);

struct RegData {
  std::uint32_t type = regtype::kSz;
  RegBytes bytes;
};

// "REG_SZ" or "REG_EXPAND_SZ" take text (a number is written as its digits),
// "REG_DWORD" a number or text that reads as a whole number. Empty for any
// other type name or a value the type cannot hold.
std::optional<RegData> encodeRegValue(const RegValue& value, const std::string& typeName);

// The number a text reads as: optional blanks, sign, digits, a decimal
// point and an exponent, as "48", " 48 ", "48.0" or "4.8e1".
std::optional<double> numberInText(const std::string& text);

std::string utf16leToUtf8(const RegBytes& data);
RegBytes utf8ToUtf16le(const std::string& text);

}  // namespace velmora
