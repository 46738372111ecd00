// Types text into another program's text box the way an input method hands
// it over: one WM_CHAR or WM_IME_CHAR message per character, sent to the
// first edit control of the top-level window with the given caption.
//
//   post_chars.exe CAPTION char|ime TEXT
//
// Exit status: 0 sent, 2 no such window or text box, 1 bad arguments.
#include <windows.h>

#include <cwchar>

namespace {

BOOL CALLBACK FindEdit(HWND child, LPARAM found) {
  wchar_t cls[16] = L"";
  GetClassNameW(child, cls, 16);
  if (_wcsicmp(cls, L"Edit") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 1;
  const UINT message = std::wcscmp(argv[2], L"ime") == 0 ? WM_IME_CHAR : WM_CHAR;
  HWND window = FindWindowW(nullptr, argv[1]);
  if (!window) return 2;
  HWND edit = nullptr;
  EnumChildWindows(window, FindEdit, reinterpret_cast<LPARAM>(&edit));
  if (!edit) return 2;
  for (const wchar_t* c = argv[3]; *c; ++c) SendMessageW(edit, message, static_cast<WPARAM>(*c), 1);
  return 0;
}
