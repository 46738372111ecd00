#include "win32/Win32Services.h"

#include <string>
#include <vector>

#include "win32/Handles.h"
#include "win32/WinText.h"

namespace velmora::win32 {

namespace {
HWND hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
}  // namespace

std::int32_t Win32User32::GetWindowLongA(WindowHandle window, int index) {
  return static_cast<std::int32_t>(::GetWindowLongA(hwnd(window), index));
}

std::int32_t Win32User32::SetWindowLongA(WindowHandle window, int index, std::int32_t value) {
  return static_cast<std::int32_t>(::SetWindowLongA(hwnd(window), index, value));
}

bool Win32User32::SetLayeredWindowAttributes(WindowHandle window, Colour key, std::uint8_t alpha,
                                             std::uint32_t flags) {
  return ::SetLayeredWindowAttributes(hwnd(window), key, alpha, flags) != FALSE;
}

bool Win32User32::ReleaseCapture() { return ::ReleaseCapture() != FALSE; }

std::intptr_t Win32User32::SendMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
  return ::SendMessageA(hwnd(window), message, wParam, lParam);
}

namespace {
std::wstring settingsKey(const std::string& app, const std::string& section) {
  return L"Software\\VB and VBA Program Settings\\" + wide(app) + L"\\" + wide(section);
}
}  // namespace

std::string RegistrySettingsStore::GetSetting(const std::string& app, const std::string& section,
                                              const std::string& key) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, settingsKey(app, section).c_str(), 0, KEY_QUERY_VALUE, &raw) !=
      ERROR_SUCCESS)
    return {};
  RegKey opened(raw);
  const std::wstring name = wide(key);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
  std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
  DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                       &bytes) != ERROR_SUCCESS)
    return {};
  buffer.back() = L'\0';
  return narrow(std::wstring(buffer.data()));
}

void RegistrySettingsStore::SaveSetting(const std::string& app, const std::string& section,
                                        const std::string& key, const std::string& value) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, settingsKey(app, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &raw, nullptr) != ERROR_SUCCESS)
    return;
  RegKey created(raw);
  const std::wstring text = wide(value);
  RegSetValueExW(created.get(), wide(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

int Win32MessageBox::MsgBox(const std::string& prompt, int style, const std::string& title) {
  return MessageBoxW(GetActiveWindow(), wide(prompt).c_str(), wide(title).c_str(), static_cast<UINT>(style));
}

void Win32ProgramStart::Shell(const std::string& commandLine, int windowStyle) {
  std::wstring line = wide(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(windowStyle);
  PROCESS_INFORMATION process{};
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    KernelHandle thread(process.hThread);
    KernelHandle handle(process.hProcess);
  }
}

std::string Win32ProgramStart::WindowsDirectory() {
  // The shared Windows folder: on a terminal server GetWindowsDirectory
  // names a per-user one that holds no explorer.exe.
  std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
  UINT length = GetSystemWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  if (length >= buffer.size()) {
    buffer.assign(length + 1, L'\0');
    length = GetSystemWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  }
  if (length == 0 || length >= buffer.size()) return {};
  std::wstring folder(buffer.data(), length);
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return narrow(folder);
}

std::optional<std::string> Win32OsVersion::VersionText() {
  // RtlGetVersion tells the truth on every version; GetVersionEx is the
  // fallback where ntdll does not export it.
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  bool known = false;
  if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
    auto rtlGetVersion =
        reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    known = rtlGetVersion && rtlGetVersion(&info) == 0;
  }
  if (!known) known = GetVersionExW(&info) != FALSE;
  if (!known) return std::nullopt;
  return std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion) + "." +
         std::to_string(info.dwBuildNumber);
}

}  // namespace velmora::win32
