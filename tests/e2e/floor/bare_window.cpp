// The floor: the least a Win32 program can do to put a 580x350 popup on
// screen and open a second window on a click. The end-to-end tests time it
// beside Velmora (start to first window, click to second window), and the
// harness's own tests drive it to prove launch, lookup, input, screenshots,
// the colour-key cut and registry access work before Velmora is blamed.
//
//   "Floor"    580x350 WS_POPUP, centred, plain fill (RGB 40,120,200), with a
//              4x4 pure-red block in the top-left and bottom-right corners made
//              see-through by a layered colour key.
//   click in the close box (546,0 34x18)  -> the process exits with code 7
//   moving with the left button down on the title strip (y < 36) drags the
//                                            window, the way Velmora does it
//                                            (WM_NCLBUTTONDOWN with HTCAPTION)
//   any other left click                  -> "Floor 2" (300x200 tool window,
//                                            centred, RGB 230,180,40) appears
//   each start writes HKCU\Software\VelmoraFloor\Starts (REG_SZ "1","2",...)
//
// The benchmark compares Velmora's screen switches with switch_floor.cpp,
// which does each switch's window work and nothing else.
#include <windows.h>

#include <cwchar>

namespace {

constexpr int kWidth = 580;
constexpr int kHeight = 350;
constexpr COLORREF kKey = RGB(255, 0, 0);
constexpr COLORREF kFill = RGB(40, 120, 200);
constexpr COLORREF kSecondFill = RGB(230, 180, 40);
constexpr int kCorner = 4;

HINSTANCE g_instance;
HWND g_second;

void CountStart() {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VelmoraFloor", 0, nullptr, 0, KEY_READ | KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  wchar_t text[16] = L"0";
  DWORD size = sizeof(text) - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key, L"Starts", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    text[0] = L'0', text[1] = 0;
  text[15] = 0;
  const long next = std::wcstol(text, nullptr, 10) + 1;
  std::swprintf(text, 16, L"%ld", next);
  RegSetValueExW(key, L"Starts", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                 static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

void Fill(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

LRESULT CALLBACK SecondProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    Fill(dc, r, kSecondFill);
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_DESTROY) g_second = nullptr;
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void ShowSecond(HWND owner) {
  if (g_second) return;
  const int w = 300, h = 200;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  g_second = CreateWindowExW(WS_EX_TOOLWINDOW, L"FloorSecond", L"Floor 2", WS_POPUP, x, y, w, h, owner, nullptr,
                             g_instance, nullptr);
  ShowWindow(g_second, SW_SHOW);
  UpdateWindow(g_second);
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT all{0, 0, kWidth, kHeight};
      Fill(dc, all, kFill);
      RECT top_left{0, 0, kCorner, kCorner};
      RECT bottom_right{kWidth - kCorner, kHeight - kCorner, kWidth, kHeight};
      Fill(dc, top_left, kKey);
      Fill(dc, bottom_right, kKey);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_MOUSEMOVE: {
      const int x = static_cast<short>(LOWORD(lp));
      const int y = static_cast<short>(HIWORD(lp));
      if ((wp & MK_LBUTTON) && y < 36 && !(x >= 546 && y < 18)) {
        ReleaseCapture();
        SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      const int x = static_cast<short>(LOWORD(lp));
      const int y = static_cast<short>(HIWORD(lp));
      if (x >= 546 && x < 580 && y >= 0 && y < 18) {
        PostQuitMessage(7);
      } else {
        ShowSecond(hwnd);
      }
      return 0;
    }
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE) PostQuitMessage(0);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  g_instance = instance;
  CountStart();

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"FloorMain";
  RegisterClassExW(&wc);
  wc.lpfnWndProc = SecondProc;
  wc.lpszClassName = L"FloorSecond";
  RegisterClassExW(&wc);

  const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  HWND hwnd = CreateWindowExW(WS_EX_LAYERED, L"FloorMain", L"Floor", WS_POPUP, x, y, kWidth, kHeight, nullptr,
                              nullptr, instance, nullptr);
  if (!hwnd) return 1;
  SetLayeredWindowAttributes(hwnd, kKey, 255, LWA_COLORKEY);
  ShowWindow(hwnd, show == SW_HIDE ? SW_SHOW : show);
  UpdateWindow(hwnd);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
