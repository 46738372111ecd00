#pragma once
// What each form's window holds when it is first shown, as the switch floor
// needs it to do the same window work: the window itself, every child and
// owned window Velmora made for it (class, styles, place, text, font, check
// state, tooltip tools), and every caption text the view drew into it (text,
// place, font, colour, format). Read off the real windows and the real
// drawing calls of the trace build, so the floor follows Velmora as it is.
//
// Written as UTF-8 lines of tab-separated fields (tests/e2e/floor/
// switch_floor.cpp reads them); text fields escape \, tab, CR and LF:
//   font   <n> <height> <weight> <charset> <face>
//   form   <form> <width> <height> <style> <exstyle> <colour key> <alpha> <layered flags> <caption>
//   window <form> <n> <parent> <class> <style> <exstyle> <x> <y> <w> <h> <font> <checked> <text>
//   tool   <form> <tooltip n> <host n> <flags> <left> <top> <right> <bottom> <text>
//   text   <form> <window n> <font> <colour> <call> <format> <left> <top> <right> <bottom> <text>
// A parent or host of -1 is the form's window; a parent of -2 an owned
// top-level window (the tooltip). <call> is DrawTextW or TextOutW.
#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace velmora::bench {

class Layout {
 public:
  Layout();  // starts watching the view's text drawing
  // A form's window was made: its first one is recorded.
  void created(const std::string& form, HWND window);
  // Before a form's window is shown: its children as they are now.
  void showing(HWND window);
  void destroyed(HWND window);
  // Writes the file VELMORA_LAYOUT_FILE names, if set.
  void write() const;

  // From the drawing calls the view makes.
  void painting(HWND window);  // nullptr: the paint ended
  // Told of each paint of the view's windows when it ends, with the time it
  // began on the clock `now` gives.
  std::function<long long()> now;
  std::function<void(long long began)> painted;
  void drew(HDC dc, const wchar_t* text, int length, const RECT& place, UINT format, const char* call);

 private:
  struct Window {
    HWND hwnd;
    int parent;
    std::wstring cls, text;
    DWORD style, exstyle;
    RECT place;
    int font, checked;
  };
  struct Tool {
    int tooltip, host;
    UINT flags;
    RECT place;
    std::wstring text;
  };
  struct Text {
    int window, font;
    COLORREF colour;
    const char* call;
    UINT format;
    RECT place;
    std::wstring text;
  };
  struct Form {
    HWND hwnd = nullptr;
    bool shown = false;
    int width = 0, height = 0;
    DWORD style = 0, exstyle = 0;
    COLORREF key = 0;
    BYTE alpha = 255;
    DWORD layeredFlags = 0;
    std::wstring caption;
    std::vector<Window> windows;
    std::vector<Tool> tools;
    std::vector<Text> texts;
  };
  struct Owned {
    Layout* self;
    Form* form;
  };
  static BOOL CALLBACK addOwned(HWND top, LPARAM owned);
  int fontOf(HFONT font);
  void addChildren(Form& form, HWND parent, int parentIndex);
  int indexOf(const Form& form, HWND window) const;
  Form* recording(HWND window);

  std::map<std::string, Form> forms_;
  std::vector<LOGFONTW> fonts_;
  HWND painting_ = nullptr;
  long long paintBegan_ = 0;
  std::set<HWND> painted_;  // windows whose first paint is over
};

}  // namespace velmora::bench
