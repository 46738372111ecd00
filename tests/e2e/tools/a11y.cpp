// Reads Velmora's windows as a screen reader does, through MSAA from
// another process, and prints what it hears as JSON lines (UTF-8).
//
//   a11y.exe tree CAPTION      the visible VelmoraForm window with that caption:
//                              its client object, then one line per child id
//                              (name, role, state, location, default action,
//                              value, description, whether get_accFocus names
//                              it, the child accHitTest finds at its middle and
//                              accNavigate's next and previous), then one line per native
//                              control: its own object, its text, and for a
//                              button BM_GETCHECK and whether it is owner-drawn
//   a11y.exe watch SECONDS     focus, state, name and description events of
//                              Velmora's windows, each object asked at once
//                              (AccessibleObjectFromEvent); "ready" first
//   a11y.exe do CAPTION CHILD  accDoDefaultAction; prints its HRESULT
//   a11y.exe hold CAPTION SECONDS
//                              keeps the window's object until the window is
//                              gone ("ready" first), then prints what a call
//                              on it returns
//
// Exit status: 0 done, 2 no such window or no object, 1 bad arguments.
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr, nullptr);
  return out;
}

// A JSON string, or null for a call that gave no text.
std::string quoted(const std::wstring* text) {
  if (!text) return "null";
  std::string out = "\"";
  for (char c : utf8(*text)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string hex(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "\"0x%08lx\"", static_cast<unsigned long>(result));
  return text;
}

// One line on stdout at once, whatever the buffering: the test reads it live.
void print(const std::string& line) {
  const std::string out = line + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
}

template <class T>
struct Com {
  T* p = nullptr;
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (p) p->Release();
  }
};

struct Variant {
  VARIANT v;
  Variant() { VariantInit(&v); }
  explicit Variant(LONG child) {
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = child;
  }
  ~Variant() { VariantClear(&v); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

// A text property: its JSON, null when the call gave none.
template <class Getter>
std::string textOf(Getter get) {
  BSTR text = nullptr;
  const HRESULT result = get(&text);
  std::string out = "null";
  if (result == S_OK && text) {
    const std::wstring value(text, SysStringLen(text));
    out = quoted(&value);
  }
  SysFreeString(text);
  return out;
}

std::string numberOf(const VARIANT& v) {
  return v.vt == VT_I4 ? std::to_string(v.lVal) : "null";
}

// Name, role, state, location, action, value and description of one child of `object`.
std::string reading(IAccessible* object, LONG child) {
  Variant id(child), role, state;
  std::string line = "\"name\": " + textOf([&](BSTR* t) { return object->get_accName(id.v, t); });
  object->get_accRole(id.v, &role.v);
  object->get_accState(id.v, &state.v);
  line += ", \"role\": " + numberOf(role.v) + ", \"state\": " + numberOf(state.v);
  LONG x = 0, y = 0, w = 0, h = 0;
  const HRESULT placed = object->accLocation(&x, &y, &w, &h, id.v);
  line += ", \"location\": " + (placed == S_OK ? "[" + std::to_string(x) + ", " + std::to_string(y) + ", " +
                                                     std::to_string(w) + ", " + std::to_string(h) + "]"
                                               : std::string("null"));
  line += ", \"action\": " + textOf([&](BSTR* t) { return object->get_accDefaultAction(id.v, t); });
  line += ", \"value\": " + textOf([&](BSTR* t) { return object->get_accValue(id.v, t); });
  line += ", \"description\": " + textOf([&](BSTR* t) { return object->get_accDescription(id.v, t); });
  return line;
}

struct Found {
  const wchar_t* caption;
  HWND window;
};

BOOL CALLBACK findForm(HWND window, LPARAM lParam) {
  auto& found = *reinterpret_cast<Found*>(lParam);
  wchar_t cls[32] = L"", caption[256] = L"";
  GetClassNameW(window, cls, 32);
  GetWindowTextW(window, caption, 256);
  if (std::wcscmp(cls, L"VelmoraForm") != 0 || std::wcscmp(caption, found.caption) != 0 || !IsWindowVisible(window))
    return TRUE;
  found.window = window;
  return FALSE;
}

HWND formWindow(const wchar_t* caption) {
  Found found{caption, nullptr};
  EnumWindows(findForm, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

HRESULT clientOf(HWND window, Com<IAccessible>& object) {
  return AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                    reinterpret_cast<void**>(&object.p));
}

BOOL CALLBACK printNative(HWND child, LPARAM) {
  wchar_t cls[32] = L"", text[4096] = L"";
  GetClassNameW(child, cls, 32);
  const bool button = _wcsicmp(cls, L"Button") == 0;
  if (!button && _wcsicmp(cls, L"Edit") != 0) return TRUE;
  // Asked of the control itself: GetWindowText reads another process's
  // controls from a copy that a text box does not keep up to date.
  SendMessageW(child, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
  const std::wstring own(text);
  std::string line = "{\"class\": \"" + utf8(cls) + "\", \"text\": " + quoted(&own);
  if (button) {
    const bool ownerDrawn = (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
    line += ", \"check\": " + std::to_string(SendMessageW(child, BM_GETCHECK, 0, 0)) +
            ", \"ownerDrawn\": " + (ownerDrawn ? "true" : "false");
  }
  Com<IAccessible> object;
  if (clientOf(child, object) == S_OK && object.p) line += ", " + reading(object.p, CHILDID_SELF);
  print(line + "}");
  return TRUE;
}

int tree(const wchar_t* caption) {
  HWND window = formWindow(caption);
  Com<IAccessible> form;
  if (!window || clientOf(window, form) != S_OK || !form.p) return 2;
  LONG count = 0;
  form.p->get_accChildCount(&count);
  Variant focus, first, last, self(CHILDID_SELF);
  form.p->get_accFocus(&focus.v);
  form.p->accNavigate(NAVDIR_FIRSTCHILD, self.v, &first.v);
  form.p->accNavigate(NAVDIR_LASTCHILD, self.v, &last.v);
  Com<IDispatch> parent;
  form.p->get_accParent(&parent.p);
  print("{\"id\": 0, " + reading(form.p, CHILDID_SELF) + ", \"children\": " + std::to_string(count) +
        ", \"focus\": " + numberOf(focus.v) + ", \"first\": " + numberOf(first.v) + ", \"last\": " +
        numberOf(last.v) + ", \"parent\": " + (parent.p ? "true" : "false") + "}");
  for (LONG id = 1; id <= count; ++id) {
    Variant child(id), next, previous, hit;
    Com<IDispatch> element;
    const HRESULT simple = form.p->get_accChild(child.v, &element.p);
    form.p->accNavigate(NAVDIR_NEXT, child.v, &next.v);
    form.p->accNavigate(NAVDIR_PREVIOUS, child.v, &previous.v);
    LONG x = 0, y = 0, w = 0, h = 0;
    if (form.p->accLocation(&x, &y, &w, &h, child.v) == S_OK) form.p->accHitTest(x + w / 2, y + h / 2, &hit.v);
    print("{\"id\": " + std::to_string(id) + ", " + reading(form.p, id) + ", \"focused\": " +
          (focus.v.vt == VT_I4 && focus.v.lVal == id ? "true" : "false") + ", \"hit\": " + numberOf(hit.v) +
          ", \"next\": " + numberOf(next.v) + ", \"previous\": " + numberOf(previous.v) +
          ", \"simple\": " + (simple == S_FALSE && !element.p ? "true" : "false") + "}");
  }
  EnumChildWindows(window, printNative, 0);
  return 0;
}

const char* eventName(DWORD event) {
  switch (event) {
    case EVENT_OBJECT_FOCUS: return "focus";
    case EVENT_OBJECT_STATECHANGE: return "state";
    case EVENT_OBJECT_NAMECHANGE: return "name";
    case EVENT_OBJECT_DESCRIPTIONCHANGE: return "description";
    default: return nullptr;
  }
}

void CALLBACK onEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  const char* name = eventName(event);
  wchar_t cls[32] = L"", rootClass[32] = L"";
  if (!name || !window) return;
  GetClassNameW(window, cls, 32);
  GetClassNameW(GetAncestor(window, GA_ROOT), rootClass, 32);
  if (std::wcscmp(rootClass, L"VelmoraForm") != 0) return;
  std::string line = "{\"event\": \"" + std::string(name) + "\", \"class\": \"" + utf8(cls) +
                     "\", \"object\": " + std::to_string(object) + ", \"child\": " + std::to_string(child);
  Com<IAccessible> found;
  Variant id;
  if (AccessibleObjectFromEvent(window, static_cast<DWORD>(object), static_cast<DWORD>(child), &found.p, &id.v) ==
          S_OK &&
      found.p && id.v.vt == VT_I4)
    line += ", \"asked\": " + std::to_string(id.v.lVal) + ", " + reading(found.p, id.v.lVal);
  print(line + "}");
}

int watch(DWORD seconds) {
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_DESCRIPTIONCHANGE, nullptr, onEvent, 0, 0,
                                       WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  if (!hook) return 2;
  print("{\"ready\": true}");
  const DWORD end = GetTickCount() + seconds * 1000;
  for (DWORD now = GetTickCount(); now < end; now = GetTickCount()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  UnhookWinEvent(hook);
  return 0;
}

int act(const wchar_t* caption, LONG child) {
  HWND window = formWindow(caption);
  Com<IAccessible> form;
  if (!window || clientOf(window, form) != S_OK || !form.p) return 2;
  Variant id(child);
  print("{\"result\": " + hex(form.p->accDoDefaultAction(id.v)) + "}");
  return 0;
}

int hold(const wchar_t* caption, DWORD seconds) {
  HWND window = formWindow(caption);
  Com<IAccessible> form;
  if (!window || clientOf(window, form) != S_OK || !form.p) return 2;
  print("{\"ready\": true}");
  const DWORD end = GetTickCount() + seconds * 1000;
  while (IsWindow(window) && GetTickCount() < end) Sleep(50);
  LONG count = 0;
  BSTR name = nullptr;
  Variant self(CHILDID_SELF);
  const HRESULT counted = form.p->get_accChildCount(&count);
  const HRESULT named = form.p->get_accName(self.v, &name);
  SysFreeString(name);
  print("{\"gone\": " + std::string(IsWindow(window) ? "false" : "true") + ", \"count\": " + hex(counted) +
        ", \"name\": " + hex(named) + "}");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 1;
  CoInitialize(nullptr);
  int status = 1;
  const std::wstring verb = argv[1];
  if (verb == L"tree" && argc == 3) status = tree(argv[2]);
  if (verb == L"watch" && argc == 3) status = watch(static_cast<DWORD>(_wtoi(argv[2])));
  if (verb == L"do" && argc == 4) status = act(argv[2], _wtoi(argv[3]));
  if (verb == L"hold" && argc == 4) status = hold(argv[2], static_cast<DWORD>(_wtoi(argv[3])));
  CoUninitialize();
  return status;
}
