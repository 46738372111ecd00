#include "tests/bench/Layout.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

namespace velmora::bench {

namespace {

Layout* watching = nullptr;

// The functions the imports pointed at before (not the names' own stubs,
// which jump through the very slots that are redirected).
decltype(&BeginPaint) realBeginPaint;
decltype(&EndPaint) realEndPaint;
decltype(&DrawTextW) realDrawTextW;
decltype(&TextOutW) realTextOutW;

HDC WINAPI beginPaint(HWND window, PAINTSTRUCT* paint) {
  if (watching) watching->painting(window);
  return realBeginPaint(window, paint);
}

BOOL WINAPI endPaint(HWND window, const PAINTSTRUCT* paint) {
  if (watching) watching->painting(nullptr);
  return realEndPaint(window, paint);
}

int WINAPI drawTextW(HDC dc, LPCWSTR text, int length, LPRECT place, UINT format) {
  if (watching && place && !(format & DT_CALCRECT)) watching->drew(dc, text, length, *place, format, "DrawTextW");
  return realDrawTextW(dc, text, length, place, format);
}

BOOL WINAPI textOutW(HDC dc, int x, int y, LPCWSTR text, int length) {
  if (watching) watching->drew(dc, text, length, RECT{x, y, x, y}, 0, "TextOutW");
  return realTextOutW(dc, x, y, text, length);
}

// Points this exe's import of `function` from `dll` at `replacement`; what
// it pointed at goes to `original`.
template <class F>
void redirect(const char* dll, const char* function, F replacement, F& original) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* imports = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imports->Name;
       ++imports) {
    if (_stricmp(reinterpret_cast<const char*>(base + imports->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imports->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imports->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      DWORD old = 0;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
      original = reinterpret_cast<F>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
    }
  }
}

std::string utf8(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    if (c == L'\\') out += "\\\\";
    else if (c == L'\t') out += "\\t";
    else if (c == L'\r') out += "\\r";
    else if (c == L'\n') out += "\\n";
    else {
      char bytes[8];
      const int n = WideCharToMultiByte(CP_UTF8, 0, &c, 1, bytes, sizeof bytes, nullptr, nullptr);
      out.append(bytes, static_cast<std::size_t>(n));
    }
  }
  return out;
}

std::wstring className(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring windowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

Layout::Layout() {
  watching = this;
  redirect("user32.dll", "BeginPaint", &beginPaint, realBeginPaint);
  redirect("user32.dll", "EndPaint", &endPaint, realEndPaint);
  redirect("user32.dll", "DrawTextW", &drawTextW, realDrawTextW);
  redirect("gdi32.dll", "TextOutW", &textOutW, realTextOutW);
}

void Layout::created(const std::string& name, HWND window) {
  Form& form = forms_[name];
  if (form.hwnd || form.shown) return;  // the first window of each form only
  form.hwnd = window;
}

Layout::Form* Layout::recording(HWND window) {
  const HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  for (auto& [name, form] : forms_)
    if (root && form.hwnd == root) return &form;
  return nullptr;
}

int Layout::fontOf(HFONT font) {
  LOGFONTW wanted{};
  if (!font || !GetObjectW(font, sizeof wanted, &wanted)) return -1;
  for (std::size_t i = 0; i < fonts_.size(); ++i)
    if (std::memcmp(&fonts_[i], &wanted, sizeof wanted) == 0) return static_cast<int>(i);
  fonts_.push_back(wanted);
  return static_cast<int>(fonts_.size() - 1);
}

// Top of the z-order first, each child followed by its own children.
void Layout::addChildren(Form& form, HWND parent, int parentIndex) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    const std::wstring cls = className(child);
    const int checked = _wcsicmp(cls.c_str(), L"Button") == 0
                            ? static_cast<int>(SendMessageW(child, BM_GETCHECK, 0, 0))
                            : 0;
    form.windows.push_back({child, parentIndex, cls, windowText(child),
                            static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)),
                            static_cast<DWORD>(GetWindowLongW(child, GWL_EXSTYLE)), place,
                            fontOf(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0))), checked});
    addChildren(form, child, static_cast<int>(form.windows.size() - 1));
  }
}

int Layout::indexOf(const Form& form, HWND window) const {
  for (std::size_t i = 0; i < form.windows.size(); ++i)
    if (form.windows[i].hwnd == window) return static_cast<int>(i);
  return -1;
}

void Layout::showing(HWND window) {
  Form* found = nullptr;
  for (auto& [name, form] : forms_)
    if (form.hwnd == window && !form.shown) found = &form;
  if (!found) return;
  Form& form = *found;
  form.shown = true;
  RECT place;
  GetWindowRect(window, &place);
  form.width = place.right - place.left;
  form.height = place.bottom - place.top;
  form.style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
  form.exstyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
  if (form.exstyle & WS_EX_LAYERED) GetLayeredWindowAttributes(window, &form.key, &form.alpha, &form.layeredFlags);
  form.caption = windowText(window);
  addChildren(form, window, -1);
  // Owned top-level windows: the tooltip window and its tools.
  Owned owned{this, &form};
  EnumThreadWindows(GetCurrentThreadId(), addOwned, reinterpret_cast<LPARAM>(&owned));
}

BOOL CALLBACK Layout::addOwned(HWND top, LPARAM lp) {
  auto& [self, form] = *reinterpret_cast<Owned*>(lp);
  if (GetWindow(top, GW_OWNER) != form->hwnd) return TRUE;
  const std::wstring cls = className(top);
  if (_wcsicmp(cls.c_str(), L"IME") == 0) return TRUE;  // the system's own
  RECT none{};
  form->windows.push_back({top, -2, cls, windowText(top), static_cast<DWORD>(GetWindowLongW(top, GWL_STYLE)),
                           static_cast<DWORD>(GetWindowLongW(top, GWL_EXSTYLE)), none,
                           self->fontOf(reinterpret_cast<HFONT>(SendMessageW(top, WM_GETFONT, 0, 0))), 0});
  const int tooltip = static_cast<int>(form->windows.size() - 1);
  if (_wcsicmp(cls.c_str(), TOOLTIPS_CLASSW) != 0) return TRUE;
  const int count = static_cast<int>(SendMessageW(top, TTM_GETTOOLCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = L"";
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.lpszText = text;
    if (!SendMessageW(top, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tool))) continue;
    form->tools.push_back({tooltip, self->indexOf(*form, tool.hwnd), tool.uFlags, tool.rect, text});
  }
  return TRUE;
}

void Layout::destroyed(HWND window) {
  for (auto& [name, form] : forms_)
    if (form.hwnd == window) form.hwnd = nullptr;  // recorded once: later loads are left alone
  // Its handles and its children's may be given to new windows.
  std::erase_if(painted_, [&](HWND w) { return w == window || !IsWindow(w) || GetAncestor(w, GA_ROOT) == window; });
}

void Layout::painting(HWND window) {
  if (!window && painting_) {
    painted_.insert(painting_);
    if (painted) painted(paintBegan_);
  }
  if (window && now) paintBegan_ = now();
  painting_ = window;
}

// The texts of each window's first paint: later ones are what the pointer
// changed (a description shown while a box is hovered).
void Layout::drew(HDC dc, const wchar_t* text, int length, const RECT& place, UINT format, const char* call) {
  Form* form = recording(painting_);
  if (!form || !form->shown || !text || painted_.count(painting_)) return;
  const std::wstring drawn = length < 0 ? std::wstring(text) : std::wstring(text, static_cast<std::size_t>(length));
  const int window = painting_ == form->hwnd ? -1 : indexOf(*form, painting_);
  const Text entry{window, fontOf(static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT))), GetTextColor(dc), call,
                   format, place, drawn};
  for (const Text& t : form->texts)  // a repaint draws the same text again
    if (t.window == entry.window && t.text == entry.text && EqualRect(&t.place, &entry.place)) return;
  form->texts.push_back(entry);
}

void Layout::write() const {
  char path[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("VELMORA_LAYOUT_FILE", path, MAX_PATH)) return;
  FILE* out = std::fopen(path, "wb");
  if (!out) return;
  for (std::size_t i = 0; i < fonts_.size(); ++i)
    std::fprintf(out, "font\t%zu\t%ld\t%ld\t%d\t%s\n", i, fonts_[i].lfHeight, fonts_[i].lfWeight,
                 fonts_[i].lfCharSet, utf8(fonts_[i].lfFaceName).c_str());
  for (const auto& [name, form] : forms_) {
    if (!form.shown) continue;
    const char* n = name.c_str();
    std::fprintf(out, "form\t%s\t%d\t%d\t%lu\t%lu\t%lu\t%u\t%lu\t%s\n", n, form.width, form.height, form.style,
                 form.exstyle, form.key, form.alpha, form.layeredFlags, utf8(form.caption).c_str());
    for (std::size_t i = 0; i < form.windows.size(); ++i) {
      const Window& w = form.windows[i];
      std::fprintf(out, "window\t%s\t%zu\t%d\t%s\t%lu\t%lu\t%ld\t%ld\t%ld\t%ld\t%d\t%d\t%s\n", n, i, w.parent,
                   utf8(w.cls).c_str(), w.style, w.exstyle, w.place.left, w.place.top,
                   w.place.right - w.place.left, w.place.bottom - w.place.top, w.font, w.checked,
                   utf8(w.text).c_str());
    }
    for (const Tool& t : form.tools)
      std::fprintf(out, "tool\t%s\t%d\t%d\t%u\t%ld\t%ld\t%ld\t%ld\t%s\n", n, t.tooltip, t.host, t.flags,
                   t.place.left, t.place.top, t.place.right, t.place.bottom, utf8(t.text).c_str());
    for (const Text& t : form.texts)
      std::fprintf(out, "text\t%s\t%d\t%d\t%lu\t%s\t%u\t%ld\t%ld\t%ld\t%ld\t%s\n", n, t.window, t.font, t.colour,
                   t.call, t.format, t.place.left, t.place.top, t.place.right, t.place.bottom,
                   utf8(t.text).c_str());
  }
  std::fclose(out);
}

}  // namespace velmora::bench
