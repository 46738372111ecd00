#pragma once
// In-memory stand-ins for every platform service, recording what the
// screens ask of them.
#include <cstdio>
#include <map>
#include <memory>
#include <tuple>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/RegistryData.h"
#include "shell/framework/Control.h"
#include "shell/framework/Form.h"
#include "shell/framework/Services.h"

namespace velmora::testing {

// Windows as a log of what was done to them: "create Form1", "show Form1",
// "hide FormMain", "destroy FormMain", "state FormMain 1", "end".
class FakeWindowing : public WindowPort {
 public:
  WindowHandle CreateFormWindow(Form& form) override {
    if (failToCreate.count(form.name())) throw PlatformFailure("无法创建窗口 " + form.name());
    for (const auto& control : form.controls())
      if (!control->Picture().empty() && missingPictures.count(control->Picture()))
        throw PlatformFailure("无法载入图片 " + control->Picture());
    const WindowHandle handle = nextHandle++;
    forms[handle] = &form;
    log.push_back("create " + form.name());
    return handle;
  }
  void DestroyFormWindow(WindowHandle w) override {
    log.push_back("destroy " + nameOf(w));
    visible.erase(w);
    forms.erase(w);
  }
  void ShowFormWindow(WindowHandle w) override {
    log.push_back("show " + nameOf(w));
    visible.insert(w);
  }
  void HideFormWindow(WindowHandle w) override {
    log.push_back("hide " + nameOf(w));
    visible.erase(w);
  }
  void SetWindowState(WindowHandle w, int state) override {
    log.push_back("state " + nameOf(w) + " " + std::to_string(state));
  }
  void FormChanged(WindowHandle) override {}
  void FocusChanged(WindowHandle w) override { focusChanges.push_back(nameOf(w)); }
  void ControlChanged(WindowHandle w, const Control& control) override {
    changes.push_back(nameOf(w) + " " + control.name());
  }
  void EndProgram() override {
    log.push_back("end");
    ended = true;
  }

  std::string nameOf(WindowHandle w) const {
    auto it = forms.find(w);
    return it == forms.end() ? "?" : it->second->name();
  }
  std::vector<std::string> visibleNames() const {
    std::vector<std::string> names;
    for (WindowHandle w : visible) names.push_back(nameOf(w));
    return names;
  }

  std::vector<std::string> log;
  std::map<WindowHandle, Form*> forms;
  std::set<WindowHandle> visible;
  // Controls whose properties changed, in order: "FormMain Image3".
  std::vector<std::string> changes;
  // Forms whose focus or focus cue changed, in order.
  std::vector<std::string> focusChanges;
  std::set<std::string> failToCreate;
  std::set<std::string> missingPictures;
  bool ended = false;
  WindowHandle nextHandle = 0x100;
};

class FakeUser32 : public User32Api {
 public:
  std::int32_t GetWindowLongA(WindowHandle w, int index) override {
    calls.push_back("GetWindowLongA(" + hex(w) + "," + std::to_string(index) + ")");
    return styles[w];
  }
  std::int32_t SetWindowLongA(WindowHandle w, int index, std::int32_t value) override {
    calls.push_back("SetWindowLongA(" + hex(w) + "," + std::to_string(index) + "," + hex(value) + ")");
    const std::int32_t old = styles[w];
    styles[w] = value;
    return old;
  }
  bool SetLayeredWindowAttributes(WindowHandle w, Colour key, std::uint8_t alpha,
                                  std::uint32_t flags) override {
    calls.push_back("SetLayeredWindowAttributes(" + hex(w) + "," + hex(key) + "," +
                    std::to_string(alpha) + "," + std::to_string(flags) + ")");
    return true;
  }
  bool ReleaseCapture() override {
    calls.push_back("ReleaseCapture()");
    return true;
  }
  std::intptr_t SendMessageA(WindowHandle w, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override {
    calls.push_back("SendMessageA(" + hex(w) + "," + hex(message) + "," + std::to_string(wParam) +
                    "," + std::to_string(lParam) + ")");
    return 0;
  }

  static std::string hex(std::uint64_t v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(v));
    return buffer;
  }

  std::vector<std::string> calls;
  std::map<WindowHandle, std::int32_t> styles;
};

class FakeSettings : public SettingsStore {
 public:
  using Key = std::tuple<std::string, std::string, std::string>;
  std::string GetSetting(const std::string& app, const std::string& section,
                         const std::string& key) override {
    log.push_back("get " + section + "\\" + key);
    if (failReads) return {};
    auto it = values.find({app, section, key});
    return it == values.end() ? std::string() : it->second;
  }
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override {
    log.push_back("save " + section + "\\" + key + "=" + value);
    if (!refuseWrites) values[{app, section, key}] = value;
  }
  std::optional<std::string> stored(const std::string& section, const std::string& key) const {
    auto it = values.find({"Velmora", section, key});
    if (it == values.end()) return std::nullopt;
    return it->second;
  }

  std::map<Key, std::string> values;
  std::vector<std::string> log;
  // A store that cannot be opened: every read comes back empty, every
  // write is lost. The store reports neither.
  bool failReads = false;
  bool refuseWrites = false;
};

struct ShownMessage {
  std::string prompt;
  int style;
  std::string title;
};

class FakeMessageBox : public MessageBoxService {
 public:
  int MsgBox(const std::string& prompt, int style, const std::string& title) override {
    shown.push_back({prompt, style, title});
    return 1;
  }
  std::vector<ShownMessage> shown;
};

class FakeRegistry;

// One shell object over the fake registry; every call goes into its log.
class FakeRegistryObject : public RegistryShellObject {
 public:
  explicit FakeRegistryObject(FakeRegistry& registry) : registry_(registry) {}
  RegResult<RegValue> RegRead(const std::string& path) override;
  RegResult<bool> RegWrite(const std::string& path, const RegValue& value, const std::string& type) override;
  RegResult<bool> RegDelete(const std::string& path) override;

 private:
  FakeRegistry& registry_;
};

// The registry as whole paths and their values. Writes go through the same
// conversion as the real registry ("REG_SZ" keeps text, "REG_DWORD" a number).
// The log reads "create", "read PATH", "write PATH = 1 REG_DWORD",
// "write PATH = \"48\" REG_SZ", "delete PATH".
class FakeRegistry : public RegistryShell {
 public:
  std::unique_ptr<RegistryShellObject> CreateObject() override {
    log.push_back("create");
    if (failToCreate) return nullptr;
    return std::make_unique<FakeRegistryObject>(*this);
  }

  static std::string describe(const RegValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
    if (const auto* text = std::get_if<std::string>(&value)) return "\"" + *text + "\"";
    const auto& other = std::get<RegOtherValue>(value);
    return other.type + " " + other.text;
  }
  // The writes and deletes of the log, in order.
  std::vector<std::string> changes() const {
    std::vector<std::string> found;
    for (const auto& entry : log)
      if (entry.rfind("write ", 0) == 0 || entry.rfind("delete ", 0) == 0) found.push_back(entry);
    return found;
  }

  std::map<std::string, RegValue> values;
  std::set<std::string> unreadable;  // reads refused (access denied)
  std::set<std::string> denied;      // writes and deletes refused (access denied)
  bool failToCreate = false;
  std::vector<std::string> log;
};

inline RegResult<RegValue> FakeRegistryObject::RegRead(const std::string& path) {
  registry_.log.push_back("read " + path);
  if (registry_.unreadable.count(path)) return {std::nullopt, {RegError::Kind::AccessDenied, ""}};
  auto it = registry_.values.find(path);
  if (it == registry_.values.end()) return {std::nullopt, {RegError::Kind::NotFound, ""}};
  return {it->second, {}};
}

inline RegResult<bool> FakeRegistryObject::RegWrite(const std::string& path, const RegValue& value,
                                                    const std::string& type) {
  registry_.log.push_back("write " + path + " = " + FakeRegistry::describe(value) + " " + type);
  if (registry_.denied.count(path)) return {std::nullopt, {RegError::Kind::AccessDenied, ""}};
  const auto data = encodeRegValue(value, type);
  if (!data) return {std::nullopt, {RegError::Kind::Other, "type mismatch"}};
  registry_.values[path] = decodeRegValue(data->type, data->bytes);
  return {true, {}};
}

inline RegResult<bool> FakeRegistryObject::RegDelete(const std::string& path) {
  registry_.log.push_back("delete " + path);
  if (registry_.denied.count(path)) return {std::nullopt, {RegError::Kind::AccessDenied, ""}};
  if (!registry_.values.erase(path)) return {std::nullopt, {RegError::Kind::NotFound, ""}};
  return {true, {}};
}

class FakeOsVersion : public OsVersion {
 public:
  std::optional<std::string> VersionText() override { return version; }
  std::optional<std::string> version = "5.1.2600";
};

class FakeProgramStart : public ProgramStart {
 public:
  void Shell(const std::string& commandLine, int windowStyle) override {
    started.push_back({commandLine, windowStyle});
  }
  std::string WindowsDirectory() override { return windowsDirectory; }
  std::vector<std::pair<std::string, int>> started;
  std::string windowsDirectory = "C:\\WINDOWS";
};

struct FakePlatform {
  FakeWindowing windowing;
  FakeUser32 user32;
  FakeSettings settings;
  FakeMessageBox messageBox;
  FakeRegistry registry;
  FakeOsVersion osVersion;
  FakeProgramStart programStart;
  Services services{.windows = windowing,
                    .user32 = user32,
                    .settings = settings,
                    .messageBox = messageBox,
                    .registry = registry,
                    .osVersion = osVersion,
                    .programStart = programStart};
};

}  // namespace velmora::testing
