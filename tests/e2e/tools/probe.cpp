// What the random run asks of Wine in one quick process each time:
//
//   probe.exe values KEY...        every value directly under each key, one
//                                  line each: KEY <tab> name <tab> type <tab> data
//                                  (REG_SZ text, REG_DWORD as 0x1f, others hex)
//   probe.exe text CAPTION         the text of the first edit control of the
//                                  top-level window with that caption
//   probe.exe restore CAPTION      restores that window from the taskbar's
//                                  way (a restore command to the window)
//
// Keys are spelled HKCU\..., HKCR\..., HKLM\.... Output is UTF-8.
// Exit status: 0 done, 2 no such window, 1 bad arguments.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

void print(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                      nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

HKEY rootOf(const std::wstring& key, std::wstring& rest) {
  const std::size_t slash = key.find(L'\\');
  const std::wstring root = key.substr(0, slash);
  rest = slash == std::wstring::npos ? L"" : key.substr(slash + 1);
  if (root == L"HKCU" || root == L"HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
  if (root == L"HKCR" || root == L"HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
  if (root == L"HKLM" || root == L"HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
  return nullptr;
}

std::wstring dataText(DWORD type, const std::vector<BYTE>& data, DWORD size) {
  wchar_t buffer[32];
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
  }
  if (type == REG_DWORD && size == 4) {
    std::swprintf(buffer, 32, L"0x%lx", *reinterpret_cast<const DWORD*>(data.data()));
    return buffer;
  }
  std::wstring hex;
  for (DWORD i = 0; i < size; ++i) {
    std::swprintf(buffer, 32, L"%02X", data[i]);
    hex += buffer;
  }
  return hex;
}

const wchar_t* typeName(DWORD type) {
  switch (type) {
    case REG_SZ: return L"REG_SZ";
    case REG_EXPAND_SZ: return L"REG_EXPAND_SZ";
    case REG_DWORD: return L"REG_DWORD";
    case REG_MULTI_SZ: return L"REG_MULTI_SZ";
    case REG_QWORD: return L"REG_QWORD";
    default: return L"REG_BINARY";
  }
}

void printValues(const std::wstring& key) {
  std::wstring path;
  HKEY root = rootOf(key, path);
  HKEY opened = nullptr;
  if (!root || RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD nameLength = 16384, type = 0, size = 0;
    if (RegEnumValueW(opened, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    std::vector<BYTE> data(size + 2);
    nameLength = 16384;
    if (RegEnumValueW(opened, index, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
    print(key + L"\t" + std::wstring(name, nameLength) + L"\t" + typeName(type) + L"\t" + dataText(type, data, size) +
          L"\n");
  }
  RegCloseKey(opened);
}

BOOL CALLBACK findEdit(HWND child, LPARAM found) {
  wchar_t cls[16] = L"";
  GetClassNameW(child, cls, 16);
  if (_wcsicmp(cls, L"Edit") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 1;
  const std::wstring verb = argv[1];
  if (verb == L"values") {
    for (int i = 2; i < argc; ++i) printValues(argv[i]);
    return 0;
  }
  if (argc != 3) return 1;
  HWND window = FindWindowW(L"VelmoraForm", argv[2]);
  if (!window) return 2;
  if (verb == L"restore") {
    PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    return 0;
  }
  if (verb == L"text") {
    HWND edit = nullptr;
    EnumChildWindows(window, findEdit, reinterpret_cast<LPARAM>(&edit));
    if (!edit) return 2;
    std::vector<wchar_t> text(static_cast<std::size_t>(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    SendMessageW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    print(text.data());
    return 0;
  }
  return 1;
}
