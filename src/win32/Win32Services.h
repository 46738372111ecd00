#pragma once
// The real platform services, one per interface.
#include <windows.h>

#include "platform/MessageBoxService.h"
#include "platform/OsVersion.h"
#include "platform/ProgramStart.h"
#include "platform/SettingsStore.h"
#include "platform/User32Api.h"

namespace velmora::win32 {

class Win32User32 : public User32Api {
 public:
  std::int32_t GetWindowLongA(WindowHandle window, int index) override;
  std::int32_t SetWindowLongA(WindowHandle window, int index, std::int32_t value) override;
  bool SetLayeredWindowAttributes(WindowHandle window, Colour key, std::uint8_t alpha,
                                  std::uint32_t flags) override;
  bool ReleaseCapture() override;
  std::intptr_t SendMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;
};

// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>\<section>,
// one REG_SZ value per key: where the companion program reads them.
class RegistrySettingsStore : public SettingsStore {
 public:
  std::string GetSetting(const std::string& app, const std::string& section,
                         const std::string& key) override;
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override;
};

class Win32MessageBox : public MessageBoxService {
 public:
  int MsgBox(const std::string& prompt, int style, const std::string& title) override;
};

class Win32ProgramStart : public ProgramStart {
 public:
  void Shell(const std::string& commandLine, int windowStyle) override;
  std::string WindowsDirectory() override;
};

class Win32OsVersion : public OsVersion {
 public:
  std::optional<std::string> VersionText() override;
};

}  // namespace velmora::win32
