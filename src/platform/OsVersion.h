#pragma once
// The version text of the running Windows ("5.1.2600", "6.1.7601", ...).
#include <optional>
#include <string>

namespace velmora {

class OsVersion {
 public:
  virtual ~OsVersion() = default;
  // Empty when the version cannot be found out.
  virtual std::optional<std::string> VersionText() = 0;
};

}  // namespace velmora
