// VelmoraTrace.exe: Velmora with each service call timed, for the benchmark.
// Every call to the windows, the layered-window calls, the registry, the
// settings store and the version lookup, and every paint of the view's
// windows (BeginPaint to EndPaint), is written, when the program ends,
// to the file VELMORA_TRACE_FILE names: one line per call,
//   <start µs> <end µs> <service> <call> <what>
// on the clock of QueryPerformanceCounter. The screens never know.
// VELMORA_LAYOUT_FILE names where the windows and texts of each form go
// (Layout.h), for the switch floor to copy.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "shell/framework/Form.h"
#include "tests/bench/Layout.h"
#include "win32/Run.h"

namespace velmora::bench {

class Trace {
 public:
  struct Call {
    long long start, end;
    std::string service, call, what;
  };
  long long now() const {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000000 / frequency_;
  }
  void add(long long start, std::string service, std::string call, std::string what = {}) {
    calls_.push_back({start, now(), std::move(service), std::move(call), std::move(what)});
  }
  ~Trace() {
    char path[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("VELMORA_TRACE_FILE", path, MAX_PATH)) return;
    FILE* out = std::fopen(path, "w");
    if (!out) return;
    for (const Call& c : calls_)
      std::fprintf(out, "%lld %lld %s %s %s\n", c.start, c.end, c.service.c_str(), c.call.c_str(), c.what.c_str());
    std::fclose(out);
  }

 private:
  long long frequency_ = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  std::vector<Call> calls_;
};

std::string handle(WindowHandle window) { return std::to_string(window); }

class TracedWindows : public WindowPort {
 public:
  TracedWindows(WindowPort& real, Trace& trace, Layout& layout) : real_(real), trace_(trace), layout_(layout) {}
  WindowHandle CreateFormWindow(Form& form) override {
    const long long t = trace_.now();
    const WindowHandle window = real_.CreateFormWindow(form);
    trace_.add(t, "windows", "create", form.name() + "=" + handle(window));
    layout_.created(form.name(), reinterpret_cast<HWND>(window));
    return window;
  }
  void DestroyFormWindow(WindowHandle window) override {
    layout_.destroyed(reinterpret_cast<HWND>(window));
    timed("destroy", window, [&] { real_.DestroyFormWindow(window); });
  }
  void ShowFormWindow(WindowHandle window) override {
    layout_.showing(reinterpret_cast<HWND>(window));  // outside the timed call
    timed("show", window, [&] { real_.ShowFormWindow(window); });
  }
  void HideFormWindow(WindowHandle window) override { timed("hide", window, [&] { real_.HideFormWindow(window); }); }
  void SetWindowState(WindowHandle window, int state) override { real_.SetWindowState(window, state); }
  void FormChanged(WindowHandle window) override { timed("form-changed", window, [&] { real_.FormChanged(window); }); }
  void FocusChanged(WindowHandle window) override {
    timed("focus-changed", window, [&] { real_.FocusChanged(window); });
  }
  void ControlChanged(WindowHandle window, const Control& control) override {
    timed("control-changed", window, [&] { real_.ControlChanged(window, control); });
  }
  void EndProgram() override { real_.EndProgram(); }

 private:
  template <class F>
  void timed(const char* call, WindowHandle window, F f) {
    const long long t = trace_.now();
    f();
    trace_.add(t, "windows", call, handle(window));
  }
  WindowPort& real_;
  Trace& trace_;
  Layout& layout_;
};

class TracedUser32 : public User32Api {
 public:
  TracedUser32(User32Api& real, Trace& trace) : real_(real), trace_(trace) {}
  std::int32_t GetWindowLongA(WindowHandle w, int index) override {
    const long long t = trace_.now();
    const auto r = real_.GetWindowLongA(w, index);
    trace_.add(t, "user32", "GetWindowLongA", handle(w));
    return r;
  }
  std::int32_t SetWindowLongA(WindowHandle w, int index, std::int32_t value) override {
    const long long t = trace_.now();
    const auto r = real_.SetWindowLongA(w, index, value);
    trace_.add(t, "user32", "SetWindowLongA", handle(w));
    return r;
  }
  bool SetLayeredWindowAttributes(WindowHandle w, Colour key, std::uint8_t alpha, std::uint32_t flags) override {
    const long long t = trace_.now();
    const bool r = real_.SetLayeredWindowAttributes(w, key, alpha, flags);
    trace_.add(t, "user32", "SetLayeredWindowAttributes", handle(w));
    return r;
  }
  bool ReleaseCapture() override { return real_.ReleaseCapture(); }
  std::intptr_t SendMessageA(WindowHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) override {
    return real_.SendMessageA(w, m, wp, lp);
  }

 private:
  User32Api& real_;
  Trace& trace_;
};

class TracedRegistryObject : public RegistryShellObject {
 public:
  TracedRegistryObject(std::unique_ptr<RegistryShellObject> real, Trace& trace)
      : real_(std::move(real)), trace_(trace) {}
  RegResult<RegValue> RegRead(const std::string& path) override {
    const long long t = trace_.now();
    auto r = real_->RegRead(path);
    trace_.add(t, "registry", "read");
    return r;
  }
  RegResult<bool> RegWrite(const std::string& path, const RegValue& value, const std::string& type) override {
    const long long t = trace_.now();
    auto r = real_->RegWrite(path, value, type);
    trace_.add(t, "registry", "write");
    return r;
  }
  RegResult<bool> RegDelete(const std::string& path) override {
    const long long t = trace_.now();
    auto r = real_->RegDelete(path);
    trace_.add(t, "registry", "delete");
    return r;
  }

 private:
  std::unique_ptr<RegistryShellObject> real_;
  Trace& trace_;
};

class TracedRegistry : public RegistryShell {
 public:
  TracedRegistry(RegistryShell& real, Trace& trace) : real_(real), trace_(trace) {}
  std::unique_ptr<RegistryShellObject> CreateObject() override {
    const long long t = trace_.now();
    auto object = real_.CreateObject();
    trace_.add(t, "registry", "create-object");
    if (!object) return nullptr;
    return std::make_unique<TracedRegistryObject>(std::move(object), trace_);
  }

 private:
  RegistryShell& real_;
  Trace& trace_;
};

class TracedOsVersion : public OsVersion {
 public:
  TracedOsVersion(OsVersion& real, Trace& trace) : real_(real), trace_(trace) {}
  std::optional<std::string> VersionText() override {
    const long long t = trace_.now();
    auto r = real_.VersionText();
    trace_.add(t, "os", "version");
    return r;
  }

 private:
  OsVersion& real_;
  Trace& trace_;
};

class TracedSettings : public SettingsStore {
 public:
  TracedSettings(SettingsStore& real, Trace& trace) : real_(real), trace_(trace) {}
  std::string GetSetting(const std::string& app, const std::string& section, const std::string& key) override {
    const long long t = trace_.now();
    auto r = real_.GetSetting(app, section, key);
    trace_.add(t, "settings", "get", key);
    return r;
  }
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override {
    const long long t = trace_.now();
    real_.SaveSetting(app, section, key, value);
    trace_.add(t, "settings", "save", key);
  }

 private:
  SettingsStore& real_;
  Trace& trace_;
};

// The wrappers and the trace they write, alive for the whole run.
struct Traced {
  Trace trace;
  Layout layout;
  std::unique_ptr<TracedWindows> windows;
  std::unique_ptr<TracedUser32> user32;
  std::unique_ptr<TracedRegistry> registry;
  std::unique_ptr<TracedOsVersion> osVersion;
  std::unique_ptr<TracedSettings> settings;

  Services wrap(const Services& real) {
    // Each paint of a window of the view, from BeginPaint to EndPaint.
    layout.now = [this] { return trace.now(); };
    layout.painted = [this](long long began) { trace.add(began, "view", "paint"); };
    windows = std::make_unique<TracedWindows>(real.windows, trace, layout);
    user32 = std::make_unique<TracedUser32>(real.user32, trace);
    registry = std::make_unique<TracedRegistry>(real.registry, trace);
    osVersion = std::make_unique<TracedOsVersion>(real.osVersion, trace);
    settings = std::make_unique<TracedSettings>(real.settings, trace);
    return Services{.windows = *windows,
                    .user32 = *user32,
                    .settings = *settings,
                    .messageBox = real.messageBox,
                    .registry = *registry,
                    .osVersion = *osVersion,
                    .programStart = real.programStart};
  }
  ~Traced() { layout.write(); }
};

}  // namespace velmora::bench

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  velmora::bench::Traced traced;
  return velmora::win32::run(instance, [&](const velmora::Services& real) { return traced.wrap(real); });
}
