#pragma once
// Registry access on whole paths: the root key spelled out, the value name
// last ("HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics\\Shell Icon Size").
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace velmora {

// A value of any other type (REG_BINARY, REG_MULTI_SZ, ...): it equals no
// number and no text a page looks for, and shows as its text where a page
// shows a value.
struct RegOtherValue {
  std::string type;  // "REG_BINARY"
  std::string text;  // hex bytes, or the strings of a REG_MULTI_SZ
  bool operator==(const RegOtherValue&) const = default;
};

// What a read gives: a number for REG_DWORD, text for the string types.
using RegValue = std::variant<std::int64_t, std::string, RegOtherValue>;

// Why a registry call failed, for the message that names it.
struct RegError {
  enum class Kind { NotFound, AccessDenied, Other } kind = Kind::Other;
  std::string detail;
};

template <class T>
struct RegResult {
  std::optional<T> value;
  RegError error;
  bool ok() const { return value.has_value(); }
};

class RegistryShellObject {
 public:
  virtual ~RegistryShellObject() = default;
  virtual RegResult<RegValue> RegRead(const std::string& path) = 0;
  // type is "REG_SZ" or "REG_DWORD"; missing keys are created.
  virtual RegResult<bool> RegWrite(const std::string& path, const RegValue& value,
                                   const std::string& type) = 0;
  virtual RegResult<bool> RegDelete(const std::string& path) = 0;
};

class RegistryShell {
 public:
  virtual ~RegistryShell() = default;
  // Creating the object can fail: then the result is empty.
  virtual std::unique_ptr<RegistryShellObject> CreateObject() = 0;
};

}  // namespace velmora
