#pragma once
// Registry access on whole paths: the root key spelled out, the value name
// last ("HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics\\Shell Icon Size").
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace velmora {

// What a read gives: a number for REG_DWORD, text for the string types.
using RegValue = std::variant<std::int64_t, std::string>;

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
