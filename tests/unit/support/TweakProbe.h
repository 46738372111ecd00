#pragma once
// The three tweak pages as a test reaches them: opened from their tiles, the
// registry paths each box stands for, typing into the title box as the edit
// control does it, and the save, back and close buttons pushed.
#include <array>
#include <string>

#include "support/Gestures.h"
#include "support/ScreenProbe.h"
#include "support/TestDesktop.h"

namespace velmora::testing {

struct TweakPage {
  const char* name;
  const char* tileNormal;
  const char* tileHover;
};
constexpr TweakPage kDesktopPage{.name = "Form1", .tileNormal = "Image4", .tileHover = "DTF"};
constexpr TweakPage kSecurityPage{.name = "Form2", .tileNormal = "Image6", .tileHover = "SYF"};
constexpr TweakPage kTitlePage{.name = "Form3", .tileNormal = "Image8", .tileHover = "MSF"};

inline const std::string kHiddenIcons =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel\\";
inline const std::array<std::string, 7> kDesktopPaths = {
    "HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics\\Shell Icon Size",
    "HKEY_CLASSES_ROOT\\lnkfile\\IsShortcut",
    kHiddenIcons + "{645FF040-5081-101B-9F08-00AA002F954E}",
    kHiddenIcons + "{208D2C60-3AEA-1069-A2D7-08002B30309D}",
    kHiddenIcons + "{20D04FE0-3AEA-1069-A2D8-08002B30309D}",
    kHiddenIcons + "{450D8FBA-AD25-11D0-98A8-0800361B1103}",
    kHiddenIcons + "{871C5380-42A0-1069-A2EA-08002B30309D}",
};
inline const std::array<std::string, 7> kSecurityPaths = {
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoFolderOptions",
    "HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions\\NoSelectDownloadDir",
    "HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions\\NoBrowserOptions",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\DisableRegistryTools",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoRun",
    "HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\HomePage",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\DisableTaskMgr",
};
inline const std::string kTitlePath = "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main\\Window Title";

inline const std::string kChoose = "请您在上面的选项中进行选择。";
inline const std::string kNotXp = "由于您当前不是XP系统，部分功能无法使用。";
inline const std::string kNote = "更多功能？请期待新版本。。。";

inline std::string check(int n) { return "Check" + std::to_string(n); }

// From the main window (started if need be) to the page, through its tile.
inline Form& open(TestDesktop& d, const TweakPage& page) {
  if (!d.app.form(Screen::FormMain).visible()) d.startToMainWindow();
  pushButton(d, page.tileNormal, page.tileHover);
  if (d.shownName() != page.name) throw std::logic_error(std::string(page.name) + " did not open");
  return d.shown();
}

// A key typed into a text box: the form hears the character, then the edit
// control takes it (Backspace takes the last character away).
inline void typeKey(TestDesktop& d, const std::string& box, char key) {
  d.type(box, key);
  Control& control = d.shown().c(box);
  std::string text = control.Text();
  if (key == '\b') {
    if (!text.empty()) text.pop_back();
  } else {
    text += key;
  }
  control.setText(text);
}
inline void typeText(TestDesktop& d, const std::string& box, const std::string& text) {
  for (char key : text) typeKey(d, box, key);
}

inline std::string writeOf(const std::string& path, const std::string& value, const char* type) {
  return "write " + path + " = " + value + " " + type;
}
inline std::string dword(const std::string& path, int value) {
  return writeOf(path, std::to_string(value), "REG_DWORD");
}
inline std::string text(const std::string& path, const std::string& value) {
  return writeOf(path, "\"" + value + "\"", "REG_SZ");
}

}  // namespace velmora::testing
