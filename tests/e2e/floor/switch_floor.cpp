// The switch floor: the least a Win32 program can do to move between two
// skinned screens the way Velmora does, so that the benchmark compares each
// of Velmora's switches with exactly the same window work and nothing else.
//
//   switch_floor.exe --open loading|direct --back unload|show [--trace FILE]
//                    [--checkboxes N]
//
// Two screens: "Floor" (the main window) and "Floor B" (a page), each a
// 580x350 WS_POPUP window with a taskbar button, made layered with a red
// colour key after creation (extended style read, then written back with
// WS_EX_LAYERED, then the key set), painting a 580x350 background bitmap
// drawn once at start. "Floor Loading" is the window shown during a switch
// via Loading: same size, never layered, no taskbar button, made on first
// use and kept hidden between uses.
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
// --checkboxes N gives the page N native check boxes (145x17, a Chinese
// caption in a 12-pixel font made once at start), created with the page, so
// that the benchmark can show what native controls alone cost Wine.
//
// --trace FILE writes one line per step ("<microseconds> <step>") when the
// program ends, on the same clock as Velmora's trace build.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 580;
constexpr int kHeight = 350;
constexpr COLORREF kKey = RGB(255, 0, 0);

enum class Open { ViaLoading, Direct };
enum class Back { UnloadFirst, ShowFirst };

struct Floor {
  HINSTANCE instance = nullptr;
  Open open = Open::ViaLoading;
  Back back = Back::UnloadFirst;
  HDC background = nullptr;  // a memory DC holding the bitmap every screen paints
  HWND loading = nullptr;
  int checkboxes = 0;
  HFONT font = nullptr;
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

// A sky-like gradient with the four corners in the key colour, drawn once.
HDC MakeBackground() {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
  ReleaseDC(nullptr, screen);
  SelectObject(dc, bitmap);
  for (int y = 0; y < kHeight; ++y) {
    HBRUSH row = CreateSolidBrush(RGB(60 + y / 4, 120 + y / 5, 220));
    RECT r{0, y, kWidth, y + 1};
    FillRect(dc, &r, row);
    DeleteObject(row);
  }
  HBRUSH key = CreateSolidBrush(kKey);
  for (RECT corner : {RECT{0, 0, 6, 6}, RECT{kWidth - 6, 0, kWidth, 6}, RECT{0, kHeight - 6, 6, kHeight},
                      RECT{kWidth - 6, kHeight - 6, kWidth, kHeight}})
    FillRect(dc, &corner, key);
  DeleteObject(key);
  return dc;
}

HWND CreateScreen(const wchar_t* caption) {
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW, L"FloorScreen", caption,
                              WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, x, y, kWidth, kHeight,
                              nullptr, nullptr, floor_.instance, nullptr);
  if (!hwnd) return nullptr;
  SetWindowLongA(hwnd, GWL_EXSTYLE, GetWindowLongA(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredWindowAttributes(hwnd, kKey, 255, LWA_COLORKEY);
  return hwnd;
}

HWND Loading() {
  if (!floor_.loading) {
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    floor_.loading = CreateWindowExW(WS_EX_TOOLWINDOW, L"FloorScreen", L"Floor Loading", WS_POPUP | WS_CLIPCHILDREN,
                                     x, y, kWidth, kHeight, nullptr, nullptr, floor_.instance, nullptr);
  }
  return floor_.loading;
}

HWND CreatePage() {
  HWND page = CreateScreen(L"Floor B");
  for (int i = 0; page && i < floor_.checkboxes; ++i) {
    HWND box = CreateWindowExW(0, L"BUTTON", L"\u9690\u85cf\"\u56de\u6536\u7ad9\"",
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | BS_CHECKBOX, 24,
                               80 + 24 * i, 145, 17, page, nullptr, floor_.instance, nullptr);
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(floor_.font), FALSE);
  }
  return page;
}

void Show(HWND hwnd) {
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  UpdateWindow(hwnd);
}

void Hide(HWND hwnd) { ShowWindow(hwnd, SW_HIDE); }

void Destroy(HWND hwnd) { DestroyWindow(hwnd); }

void OpenPage(HWND main) {
  floor_.mark("switch");
  if (floor_.open == Open::ViaLoading) {
    Hide(main);
    floor_.mark("main hidden");
    Show(Loading());
    floor_.mark("Loading shown");
    Destroy(main);
    floor_.mark("main destroyed");
    HWND page = CreatePage();
    floor_.mark("page created");
    Show(page);
    floor_.mark("page shown");
    Hide(Loading());
    floor_.mark("Loading hidden");
  } else {
    HWND page = CreatePage();
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
    Show(CreateScreen(L"Floor"));
    floor_.mark("main shown");
  } else {
    Show(CreateScreen(L"Floor"));
    floor_.mark("main shown");
    Destroy(page);
    floor_.mark("page destroyed");
  }
}

LRESULT CALLBACK ScreenProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      BitBlt(dc, 0, 0, kWidth, kHeight, floor_.background, 0, 0, SRCCOPY);
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

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  floor_.instance = instance;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring option = argv[i], value = argv[i + 1];
    if (option == L"--open") floor_.open = value == L"direct" ? Open::Direct : Open::ViaLoading;
    if (option == L"--back") floor_.back = value == L"show" ? Back::ShowFirst : Back::UnloadFirst;
    if (option == L"--trace") floor_.traceFile = value;
    if (option == L"--checkboxes") floor_.checkboxes = _wtoi(value.c_str());
  }
  LocalFree(argv);

  floor_.background = MakeBackground();
  floor_.font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"\u5fae\u8f6f\u96c5\u9ed1");
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ScreenProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"FloorScreen";
  RegisterClassExW(&wc);

  HWND main = CreateScreen(L"Floor");
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
