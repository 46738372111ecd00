// The switch floor: the least a Win32 program can do to move between two
// skinned screens the way Velmora does, so that the benchmark compares each
// of Velmora's switches with exactly the same window work and nothing else.
//
//   switch_floor.exe --open loading|direct --back unload|show [--trace FILE]
//                    [--layout FILE --main FORM --page FORM --loading FORM]
//                    [--at X,Y]
//
// Two screens: "Floor" (the main window) and "Floor B" (a page), and
// "Floor Loading", the window shown during a switch via Loading, made on
// first use and kept hidden between uses. Every screen paints one
// background bitmap drawn once at start.
//
// Bare (no --layout): each screen a 580x350 WS_POPUP window with a taskbar
// button, made layered with a red colour key after creation (extended style
// read, then written back with WS_EX_LAYERED, then the key set); Loading the
// same size, never layered, no taskbar button; no child windows, no text.
//
// Matched (--layout, the file VelmoraTrace.exe writes, tests/bench/Layout.h):
// each screen is the named form's window as Velmora made it: its size,
// styles and layering; every child and owned window Velmora gave it, made
// here with the same class (Velmora's own containers with a plain class of
// this program), styles, place, text, font and check state, and the tooltip
// window's tools; and the caption texts Velmora drew into it, drawn here
// with the same font, colour and format on the background. Nothing else:
// no registry, no pictures, no hover state.
//
// A left click on "Floor" opens "Floor B"; a left click on "Floor B" goes
// back. The steps, in the order Velmora takes them:
//   --open loading  hide main; show Loading; destroy main; create and show
//                   the page; hide Loading
//   --open direct   create and show the page; hide main; destroy main
//   --back unload   hide page; destroy page; create and show main
//   --back show     hide page; create and show main; destroy page
// Showing is ShowWindow, SetForegroundWindow and UpdateWindow. A click in
// the close box (546,0 34x18) of either screen ends the program.
//
// --at X,Y puts every screen's top-left corner there instead of centring it
// (the benchmark keeps the floor's input off Velmora's centred window).
//
// --trace FILE writes one line per step ("<microseconds> <step>") when the
// program ends, on the same clock as Velmora's trace build.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kBareWidth = 580;
constexpr int kBareHeight = 350;
constexpr COLORREF kKey = RGB(255, 0, 0);

enum class Open { ViaLoading, Direct };
enum class Back { UnloadFirst, ShowFirst };

// One window as the layout file gives it (parent -1: the screen itself,
// -2: an owned top-level window).
struct Child {
  int parent = -1;
  std::wstring cls, text;
  DWORD style = 0, exstyle = 0;
  int x = 0, y = 0, width = 0, height = 0;
  int font = -1, checked = 0;
};
struct Tool {
  int tooltip = 0, host = -1;
  UINT flags = 0;
  RECT place{};
  std::wstring text;
};
struct Text {
  int window = -1, font = -1;
  COLORREF colour = 0;
  bool drawText = true;  // DrawTextW, else TextOutW
  UINT format = 0;
  RECT place{};
  std::wstring text;
};
struct Screen {
  int width = kBareWidth, height = kBareHeight;
  DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
  DWORD exstyle = WS_EX_APPWINDOW | WS_EX_LAYERED;
  COLORREF key = kKey;
  BYTE alpha = 255;
  DWORD layeredFlags = LWA_COLORKEY;
  std::vector<Child> children;
  std::vector<Tool> tools;
  std::vector<Text> texts;
};

struct Floor {
  HINSTANCE instance = nullptr;
  Open open = Open::ViaLoading;
  Back back = Back::UnloadFirst;
  HDC background = nullptr;  // a memory DC holding the bitmap every screen paints
  HBRUSH containerBrush = nullptr;
  HWND loading = nullptr;
  bool placed = false;
  POINT at{};
  Screen main, page, loadingScreen;
  std::vector<HFONT> fonts;
  // What each window paints: its screen, and which of its children it is (-1 the screen).
  std::map<HWND, std::pair<const Screen*, int>> painted;
  std::wstring traceFile;
  std::vector<std::pair<long long, const char*>> trace;

  void mark(const char* step) {
    if (traceFile.empty()) return;
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    trace.emplace_back(now.QuadPart * 1000000 / frequency.QuadPart, step);
  }
};

Floor floor_;

// --- the layout file -------------------------------------------------------

std::wstring unescape(const std::string& utf8) {
  std::string raw;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] != '\\' || i + 1 == utf8.size()) {
      raw += utf8[i];
      continue;
    }
    const char c = utf8[++i];
    raw += c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : c;
  }
  std::wstring wide(raw.size() + 1, L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, 0, raw.data(), static_cast<int>(raw.size()), wide.data(), static_cast<int>(wide.size()))));
  return wide;
}

long field(const std::vector<std::string>& f, std::size_t i) { return i < f.size() ? std::strtol(f[i].c_str(), nullptr, 10) : 0; }
unsigned long ufield(const std::vector<std::string>& f, std::size_t i) {
  return i < f.size() ? std::strtoul(f[i].c_str(), nullptr, 10) : 0;
}

// Reads the forms named main, page and loading into the floor's screens and
// makes the fonts; false when the file or a form is missing.
bool ReadLayout(const std::wstring& path, const std::string& mainForm, const std::string& pageForm,
                const std::string& loadingForm) {
  FILE* in = _wfopen(path.c_str(), L"rb");
  if (!in) return false;
  std::string all;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) all.append(buffer, n);
  std::fclose(in);
  std::map<std::string, Screen*> wanted{{mainForm, &floor_.main}, {pageForm, &floor_.page}, {loadingForm, &floor_.loadingScreen}};
  std::map<std::string, bool> found;
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    std::vector<std::string> f;
    for (std::size_t a = start;;) {
      const std::size_t tab = all.find('\t', a);
      if (tab == std::string::npos || tab > end) {
        f.push_back(all.substr(a, end - a));
        break;
      }
      f.push_back(all.substr(a, tab - a));
      a = tab + 1;
    }
    start = end + 1;
    if (f.size() < 2) continue;
    if (f[0] == "font" && f.size() >= 6) {
      LOGFONTW font{};
      font.lfHeight = field(f, 2);
      font.lfWeight = field(f, 3);
      font.lfCharSet = static_cast<BYTE>(field(f, 4));
      wcsncpy(font.lfFaceName, unescape(f[5]).c_str(), LF_FACESIZE - 1);
      floor_.fonts.resize(static_cast<std::size_t>(field(f, 1)) + 1);
      floor_.fonts[static_cast<std::size_t>(field(f, 1))] = CreateFontIndirectW(&font);
      continue;
    }
    for (auto& [form, screen] : wanted) {
      if (f[1] != form) continue;
      Screen& s = *screen;
      if (f[0] == "form" && f.size() >= 9) {
        found[form] = true;
        s.width = static_cast<int>(field(f, 2));
        s.height = static_cast<int>(field(f, 3));
        s.style = ufield(f, 4) & ~WS_VISIBLE;
        s.exstyle = ufield(f, 5);
        s.key = ufield(f, 6);
        s.alpha = static_cast<BYTE>(field(f, 7));
        s.layeredFlags = ufield(f, 8);
      } else if (f[0] == "window" && f.size() >= 14) {
        s.children.push_back({static_cast<int>(field(f, 3)), unescape(f[4]), unescape(f[13]), ufield(f, 5), ufield(f, 6),
                              static_cast<int>(field(f, 7)), static_cast<int>(field(f, 8)),
                              static_cast<int>(field(f, 9)), static_cast<int>(field(f, 10)),
                              static_cast<int>(field(f, 11)), static_cast<int>(field(f, 12))});
      } else if (f[0] == "tool" && f.size() >= 10) {
        s.tools.push_back({static_cast<int>(field(f, 2)), static_cast<int>(field(f, 3)),
                           static_cast<UINT>(ufield(f, 4)),
                           RECT{field(f, 5), field(f, 6), field(f, 7), field(f, 8)}, unescape(f[9])});
      } else if (f[0] == "text" && f.size() >= 12) {
        s.texts.push_back({static_cast<int>(field(f, 2)), static_cast<int>(field(f, 3)), ufield(f, 4),
                           f[5] == "DrawTextW", static_cast<UINT>(ufield(f, 6)),
                           RECT{field(f, 7), field(f, 8), field(f, 9), field(f, 10)}, unescape(f[11])});
      }
    }
  }
  return found.size() == wanted.size();
}

// --- the screens ---------------------------------------------------------------

// A sky-like gradient with the four corners in the key colour, drawn once,
// as large as the largest screen.
HDC MakeBackground(int width, int height) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  SelectObject(dc, bitmap);
  for (int y = 0; y < height; ++y) {
    HBRUSH row = CreateSolidBrush(RGB(60 + y / 4, 120 + y / 5, 220));
    RECT r{0, y, width, y + 1};
    FillRect(dc, &r, row);
    DeleteObject(row);
  }
  HBRUSH key = CreateSolidBrush(kKey);
  for (RECT corner : {RECT{0, 0, 6, 6}, RECT{width - 6, 0, width, 6}, RECT{0, height - 6, 6, height},
                      RECT{width - 6, height - 6, width, height}})
    FillRect(dc, &corner, key);
  DeleteObject(key);
  return dc;
}

HFONT FontOf(int index) {
  return index >= 0 && index < static_cast<int>(floor_.fonts.size()) ? floor_.fonts[static_cast<std::size_t>(index)]
                                                                       : nullptr;
}

// The screen's window, its children and owned windows, its tools, then its
// layering, in the order Velmora makes them.
HWND CreateScreen(const Screen& s, const wchar_t* caption) {
  const int x = floor_.placed ? floor_.at.x : (GetSystemMetrics(SM_CXSCREEN) - s.width) / 2;
  const int y = floor_.placed ? floor_.at.y : (GetSystemMetrics(SM_CYSCREEN) - s.height) / 2;
  HWND hwnd = CreateWindowExW(s.exstyle & ~WS_EX_LAYERED, L"FloorScreen", caption, s.style, x, y, s.width, s.height,
                              nullptr, nullptr, floor_.instance, nullptr);
  if (!hwnd) return nullptr;
  floor_.painted[hwnd] = {&s, -1};
  std::vector<HWND> made;
  for (const Child& c : s.children) {
    const bool container = c.cls.rfind(L"Velmora", 0) == 0;
    const bool edit = _wcsicmp(c.cls.c_str(), L"Edit") == 0;
    const bool owned = c.parent == -2;
    HWND parent = c.parent >= 0 && c.parent < static_cast<int>(made.size()) ? made[static_cast<std::size_t>(c.parent)] : hwnd;
    HWND child = owned ? CreateWindowExW(c.exstyle, c.cls.c_str(), nullptr, c.style, CW_USEDEFAULT, CW_USEDEFAULT,
                                         CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, floor_.instance, nullptr)
                       : CreateWindowExW(c.exstyle, container ? L"FloorContainer" : c.cls.c_str(),
                                         edit ? L"" : c.text.c_str(), c.style, c.x, c.y, c.width, c.height, parent,
                                         nullptr, floor_.instance, nullptr);
    made.push_back(child);
    if (!child) continue;
    if (container) floor_.painted[child] = {&s, static_cast<int>(made.size() - 1)};
    if (HFONT font = FontOf(c.font)) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (c.checked) SendMessageW(child, BM_SETCHECK, BST_CHECKED, 0);
    if (edit && !c.text.empty()) SetWindowTextW(child, c.text.c_str());
  }
  for (const Tool& t : s.tools) {
    if (t.tooltip < 0 || t.tooltip >= static_cast<int>(made.size())) continue;
    std::wstring text = t.text;
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = t.flags;
    tool.hwnd = t.host >= 0 && t.host < static_cast<int>(made.size()) ? made[static_cast<std::size_t>(t.host)] : hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(&t);
    tool.rect = t.place;
    tool.lpszText = text.data();
    SendMessageW(made[static_cast<std::size_t>(t.tooltip)], TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  if (s.exstyle & WS_EX_LAYERED) {
    SetWindowLongA(hwnd, GWL_EXSTYLE, GetWindowLongA(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd, s.key, s.alpha, s.layeredFlags);
  }
  return hwnd;
}

HWND Loading() {
  if (!floor_.loading) floor_.loading = CreateScreen(floor_.loadingScreen, L"Floor Loading");
  return floor_.loading;
}

void Show(HWND hwnd) {
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  UpdateWindow(hwnd);
}

void Hide(HWND hwnd) { ShowWindow(hwnd, SW_HIDE); }

void Destroy(HWND hwnd) {
  DestroyWindow(hwnd);
  for (auto it = floor_.painted.begin(); it != floor_.painted.end();)
    it = IsWindow(it->first) ? std::next(it) : floor_.painted.erase(it);
}

void OpenPage(HWND main) {
  floor_.mark("switch");
  if (floor_.open == Open::ViaLoading) {
    Hide(main);
    floor_.mark("main hidden");
    Show(Loading());
    floor_.mark("Loading shown");
    Destroy(main);
    floor_.mark("main destroyed");
    HWND page = CreateScreen(floor_.page, L"Floor B");
    floor_.mark("page created");
    Show(page);
    floor_.mark("page shown");
    Hide(Loading());
    floor_.mark("Loading hidden");
  } else {
    HWND page = CreateScreen(floor_.page, L"Floor B");
    floor_.mark("page created");
    Show(page);
    floor_.mark("page shown");
    Hide(main);
    floor_.mark("main hidden");
    Destroy(main);
    floor_.mark("main destroyed");
  }
}

void GoBack(HWND page) {
  floor_.mark("switch");
  Hide(page);
  floor_.mark("page hidden");
  if (floor_.back == Back::UnloadFirst) {
    Destroy(page);
    floor_.mark("page destroyed");
    Show(CreateScreen(floor_.main, L"Floor"));
    floor_.mark("main shown");
  } else {
    Show(CreateScreen(floor_.main, L"Floor"));
    floor_.mark("main shown");
    Destroy(page);
    floor_.mark("page destroyed");
  }
}

void PaintTexts(HDC dc, const Screen& s, int window) {
  for (const Text& t : s.texts) {
    if (t.window != window) continue;
    SelectObject(dc, FontOf(t.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, t.colour);
    RECT place = t.place;
    if (t.drawText)
      DrawTextW(dc, t.text.c_str(), static_cast<int>(t.text.size()), &place, t.format);
    else
      TextOutW(dc, place.left, place.top, t.text.c_str(), static_cast<int>(t.text.size()));
  }
}

LRESULT CALLBACK ScreenProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      const auto it = floor_.painted.find(hwnd);
      if (it != floor_.painted.end() && it->second.second >= 0) {
        FillRect(dc, &ps.rcPaint, floor_.containerBrush);
      } else {
        BitBlt(dc, 0, 0, kBareWidth + 1, kBareHeight + 1, floor_.background, 0, 0, SRCCOPY);
      }
      if (it != floor_.painted.end()) PaintTexts(dc, *it->second.first, it->second.second);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONUP: {
      const int x = static_cast<short>(LOWORD(lp));
      const int y = static_cast<short>(HIWORD(lp));
      wchar_t caption[16] = L"";
      GetWindowTextW(hwnd, caption, 16);
      if (x >= 546 && y < 18)
        PostQuitMessage(0);
      else if (std::wcscmp(caption, L"Floor") == 0)
        OpenPage(hwnd);
      else if (std::wcscmp(caption, L"Floor B") == 0)
        GoBack(hwnd);
      return 0;
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void WriteTrace() {
  if (floor_.traceFile.empty()) return;
  FILE* out = _wfopen(floor_.traceFile.c_str(), L"w");
  if (!out) return;
  for (const auto& [micros, step] : floor_.trace) std::fprintf(out, "%lld %s\n", micros, step);
  std::fclose(out);
}

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  floor_.instance = instance;
  floor_.loadingScreen.exstyle = WS_EX_TOOLWINDOW;
  floor_.loadingScreen.style = WS_POPUP | WS_CLIPCHILDREN;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring layout;
  std::string mainForm, pageForm, loadingForm;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring option = argv[i], value = argv[i + 1];
    if (option == L"--open") floor_.open = value == L"direct" ? Open::Direct : Open::ViaLoading;
    if (option == L"--back") floor_.back = value == L"show" ? Back::ShowFirst : Back::UnloadFirst;
    if (option == L"--trace") floor_.traceFile = value;
    if (option == L"--layout") layout = value;
    if (option == L"--main") mainForm = narrow(value);
    if (option == L"--page") pageForm = narrow(value);
    if (option == L"--loading") loadingForm = narrow(value);
    if (option == L"--at") floor_.placed = swscanf(value.c_str(), L"%ld,%ld", &floor_.at.x, &floor_.at.y) == 2;
  }
  LocalFree(argv);
  if (!layout.empty()) {
    // The tooltip class is comctl32's, as in Velmora; the bare screens
    // leave the library unloaded.
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (HMODULE comctl32 = LoadLibraryW(L"comctl32.dll"))
      if (auto init = reinterpret_cast<Init>(reinterpret_cast<void*>(GetProcAddress(comctl32, "InitCommonControlsEx"))))
        init(&controls);
    if (!ReadLayout(layout, mainForm, pageForm, loadingForm)) return 2;
  }

  floor_.background = MakeBackground(kBareWidth + 1, kBareHeight + 1);
  floor_.containerBrush = CreateSolidBrush(RGB(0, 64, 128));
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ScreenProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"FloorScreen";
  RegisterClassExW(&wc);
  wc.lpszClassName = L"FloorContainer";
  RegisterClassExW(&wc);

  HWND main = CreateScreen(floor_.main, L"Floor");
  if (!main) return 1;
  Show(main);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  WriteTrace();
  return static_cast<int>(msg.wParam);
}
