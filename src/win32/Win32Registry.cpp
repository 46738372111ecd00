#include "win32/Win32Registry.h"

#include <windows.h>

#include "platform/RegistryData.h"
#include "win32/Handles.h"
#include "win32/WinText.h"

namespace velmora::win32 {

namespace {

HKEY rootKey(RegRoot root) {
  switch (root) {
    case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegRoot::Users: return HKEY_USERS;
    case RegRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
  }
  return HKEY_CURRENT_USER;
}

RegError errorFor(LONG status) {
  switch (status) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return {RegError::Kind::NotFound, {}};
    case ERROR_ACCESS_DENIED:
      return {RegError::Kind::AccessDenied, {}};
    default:
      return {RegError::Kind::Other, "错误代码 " + std::to_string(status)};
  }
}

template <class T>
RegResult<T> failed(LONG status) {
  return {std::nullopt, errorFor(status)};
}

template <class T>
RegResult<T> badPath(const std::string& path) {
  return {std::nullopt, {RegError::Kind::Other, "无效的注册表路径 " + path}};
}

class Win32RegistryObject : public RegistryShellObject {
 public:
  RegResult<RegValue> RegRead(const std::string& path) override {
    const auto parsed = parseRegPath(path);
    if (!parsed) return badPath<RegValue>(path);
    HKEY raw = nullptr;
    LONG status = RegOpenKeyExW(rootKey(parsed->root), wide(parsed->key).c_str(), 0, KEY_QUERY_VALUE, &raw);
    if (status != ERROR_SUCCESS) return failed<RegValue>(status);
    const RegKey key(raw);
    const std::wstring name = wide(parsed->valueName);
    // The value may grow between asking its size and reading it: ask again.
    DWORD type = 0;
    DWORD size = 0;
    status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
    RegBytes data;
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
      data.resize(size);
      status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(),
                                &size);
      if (status == ERROR_SUCCESS) {
        data.resize(size);
        return {decodeRegValue(type, data), {}};
      }
    }
    return failed<RegValue>(status);
  }

  RegResult<bool> RegWrite(const std::string& path, const RegValue& value, const std::string& type) override {
    const auto parsed = parseRegPath(path);
    if (!parsed) return badPath<bool>(path);
    const auto data = encodeRegValue(value, type);
    if (!data) return {std::nullopt, {RegError::Kind::Other, "无法以 " + type + " 类型写入该值"}};
    HKEY raw = nullptr;
    LONG status = RegCreateKeyExW(rootKey(parsed->root), wide(parsed->key).c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS) return failed<bool>(status);
    const RegKey key(raw);
    status = RegSetValueExW(key.get(), wide(parsed->valueName).c_str(), 0, data->type, data->bytes.data(),
                            static_cast<DWORD>(data->bytes.size()));
    if (status != ERROR_SUCCESS) return failed<bool>(status);
    return {true, {}};
  }

  // A path ending in a backslash names a key, which goes if it has no subkeys.
  RegResult<bool> RegDelete(const std::string& path) override {
    const auto parsed = parseRegPath(path);
    if (!parsed) return badPath<bool>(path);
    HKEY raw = nullptr;
    if (parsed->valueName.empty()) {
      const auto slash = parsed->key.rfind('\\');
      const std::string parent = slash == std::string::npos ? std::string() : parsed->key.substr(0, slash);
      const std::string child = slash == std::string::npos ? parsed->key : parsed->key.substr(slash + 1);
      LONG status = RegOpenKeyExW(rootKey(parsed->root), wide(parent).c_str(), 0, KEY_QUERY_VALUE, &raw);
      if (status != ERROR_SUCCESS) return failed<bool>(status);
      const RegKey key(raw);
      status = RegDeleteKeyW(key.get(), wide(child).c_str());
      if (status != ERROR_SUCCESS) return failed<bool>(status);
      return {true, {}};
    }
    LONG status = RegOpenKeyExW(rootKey(parsed->root), wide(parsed->key).c_str(), 0, KEY_SET_VALUE, &raw);
    if (status != ERROR_SUCCESS) return failed<bool>(status);
    const RegKey key(raw);
    status = RegDeleteValueW(key.get(), wide(parsed->valueName).c_str());
    if (status != ERROR_SUCCESS) return failed<bool>(status);
    return {true, {}};
  }
};

}  // namespace

std::unique_ptr<RegistryShellObject> Win32Registry::CreateObject() {
  return std::make_unique<Win32RegistryObject>();
}

}  // namespace velmora::win32
