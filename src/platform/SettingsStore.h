#pragma once
// Per-user application settings: strings addressed by application, section
// and key. Reading an absent key gives the empty string.
#include <string>

namespace velmora {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string GetSetting(const std::string& app, const std::string& section,
                                 const std::string& key) = 0;
  virtual void SaveSetting(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
};

}  // namespace velmora
