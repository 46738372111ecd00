#include "win32/Accessible.h"

#include <memory>
#include <string>

#include "win32/FormWindow.h"
#include "win32/WinText.h"

namespace velmora::win32 {

namespace {

// The form's client itself, as against one of its items.
constexpr int kClient = -1;

bool hasFocus(HWND formWindow) {
  HWND focus = GetFocus();
  return focus && (focus == formWindow || IsChild(formWindow, focus));
}

// Whether one of the item's controls is on view.
bool shown(const Form& form, int index) {
  for (const std::string& part : form.items()[static_cast<std::size_t>(index)].parts)
    if (const Control* control = form.find(part); control && control->Visible()) return true;
  return false;
}

HRESULT giveText(const std::string& text, BSTR* out, HRESULT ifEmpty = S_FALSE) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty() && ifEmpty != S_OK) return ifEmpty;
  *out = SysAllocString(wide(text).c_str());
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT giveNumber(LONG number, VARIANT* out) {
  if (!out) return E_POINTER;
  VariantInit(out);
  out->vt = VT_I4;
  out->lVal = number;
  return S_OK;
}

HRESULT giveNothing(VARIANT* out, HRESULT result = S_FALSE) {
  if (!out) return E_POINTER;
  VariantInit(out);
  return result;
}

}  // namespace

LONG msaaRole(Role role) {
  switch (role) {
    case Role::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case Role::Link: return ROLE_SYSTEM_LINK;
    case Role::CheckButton: return ROLE_SYSTEM_CHECKBUTTON;
    case Role::RadioButton: return ROLE_SYSTEM_RADIOBUTTON;
    case Role::EditableText: return ROLE_SYSTEM_TEXT;
    case Role::StaticText: return ROLE_SYSTEM_STATICTEXT;
    case Role::Graphic: return ROLE_SYSTEM_GRAPHIC;
  }
  return ROLE_SYSTEM_CLIENT;
}

LONG msaaState(const Form& form, int index, bool hasFocus) {
  const ItemState item = form.itemState(index);
  const bool visible = shown(form, index);
  LONG state = 0;
  if (item.focused && hasFocus) state |= STATE_SYSTEM_FOCUSED;
  if (item.focusable && visible) state |= STATE_SYSTEM_FOCUSABLE;
  if (item.unavailable) state |= STATE_SYSTEM_UNAVAILABLE;
  if (item.checked) state |= STATE_SYSTEM_CHECKED;
  if (item.readOnly) state |= STATE_SYSTEM_READONLY;
  if (!visible) state |= STATE_SYSTEM_INVISIBLE;
  return state;
}

// One object: the form's client with its items as children (item -1), or
// the one item a native control shows. Every answer is read from the form
// at the time it is asked; nothing it answers changes the form.
class AccessibleObject final : public IAccessible {
 public:
  AccessibleObject(Form& form, HWND formWindow, HWND window, int item)
      : form_(&form), formWindow_(formWindow), window_(window), item_(item) {}

  // The window is going: every later call fails.
  void detach() { form_ = nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (id != __uuidof(IUnknown) && id != __uuidof(IDispatch) && id != __uuidof(IAccessible)) return E_NOINTERFACE;
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: screen readers call the methods directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!form_) return E_FAIL;
    return CreateStdAccessibleObject(window_, OBJID_WINDOW, __uuidof(IDispatch), reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    if (!form_) return E_FAIL;
    if (item_ == kClient) *count = static_cast<LONG>(form_->items().size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    int index;
    if (const HRESULT failed = resolve(child, index); failed != S_OK) return failed;
    return S_FALSE;  // every item is a simple element
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    int index;
    if (const HRESULT failed = resolve(child, index); failed != S_OK) return giveText({}, name, failed);
    return giveText(index == kClient ? form_->Caption() : form_->itemName(index), name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    int index;
    if (const HRESULT failed = resolve(child, index); failed != S_OK) return giveText({}, value, failed);
    if (index == kClient || form_->items()[static_cast<std::size_t>(index)].role != Role::EditableText)
      return giveText({}, value, DISP_E_MEMBERNOTFOUND);
    return giveText(form_->itemValue(index), value, S_OK);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    int index;
    if (const HRESULT failed = resolve(child, index); failed != S_OK) return giveText({}, description, failed);
    return giveText(index == kClient ? std::string() : form_->itemDescription(index), description);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    int index;
    if (const HRESULT failed = resolve(child, index); failed != S_OK) return giveNothing(role, failed);
    if (index == kClient) return giveNumber(ROLE_SYSTEM_CLIENT, role);
    return giveNumber(msaaRole(form_->items()[static_cast<std::size_t>(index)].role), role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    int index;
    if (const HRESULT failed = resolve(child, index); failed != S_OK) return giveNothing(state, failed);
    if (index != kClient) return giveNumber(msaaState(*form_, index, hasFocus(formWindow_)), state);
    // The client holds the focus itself only when no item has it.
    LONG own = STATE_SYSTEM_FOCUSABLE;
    if (GetFocus() == formWindow_ && form_->focusedItem() < 0) own |= STATE_SYSTEM_FOCUSED;
    if (!IsWindowVisible(formWindow_)) own |= STATE_SYSTEM_INVISIBLE;
    return giveNumber(own, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
    return giveText({}, help, DISP_E_MEMBERNOTFOUND);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
    if (topic) *topic = 0;
    return giveText({}, file, DISP_E_MEMBERNOTFOUND);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override {
    return giveText({}, shortcut, DISP_E_MEMBERNOTFOUND);
  }
  // The form's own focus, also while the window keeps the Win32 focus for
  // an item it draws or for a box whose focus cue is hidden.
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    if (!form_) return giveNothing(focus, E_FAIL);
    if (!hasFocus(formWindow_)) return giveNothing(focus);
    const int focused = form_->focusedItem();
    if (item_ != kClient) return focused == item_ ? giveNumber(CHILDID_SELF, focus) : giveNothing(focus);
    return giveNumber(focused >= 0 ? focused + 1 : CHILDID_SELF, focus);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return giveNothing(selection, DISP_E_MEMBERNOTFOUND);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    int index;
    if (const HRESULT failed = resolve(child, index); failed != S_OK) return giveText({}, action, failed);
    if (index == kClient) return giveText({}, action, DISP_E_MEMBERNOTFOUND);
    return giveText(form_->itemAction(index), action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    int index;
    if (const HRESULT failed = resolve(child, index); failed != S_OK) return failed;
    RECT place;
    if (index == kClient)
      GetClientRect(formWindow_, &place);
    else
      place = pixelRect(form_->itemPlace(index));
    POINT origin{0, 0};
    ClientToScreen(formWindow_, &origin);
    *left = place.left + origin.x;
    *top = place.top + origin.y;
    *width = place.right - place.left;
    *height = place.bottom - place.top;
    return S_OK;
  }
  // Among the items in reading order; an item has no children of its own.
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    int index;
    if (const HRESULT failed = resolve(start, index); failed != S_OK) return giveNothing(end, failed);
    const int count = item_ == kClient ? static_cast<int>(form_->items().size()) : 0;
    int to = -1;
    if (index == kClient && direction == NAVDIR_FIRSTCHILD) to = 0;
    if (index == kClient && direction == NAVDIR_LASTCHILD) to = count - 1;
    if (index != kClient && direction == NAVDIR_NEXT) to = index + 1;
    if (index != kClient && direction == NAVDIR_PREVIOUS) to = index - 1;
    if (count == 0 || to < 0 || to >= count) return giveNothing(end);
    return giveNumber(to + 1, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
    if (!form_) return giveNothing(hit, E_FAIL);
    POINT at{x, y};
    ScreenToClient(formWindow_, &at);
    auto inside = [&](int index) {
      const RECT place = pixelRect(form_->itemPlace(index));
      return shown(*form_, index) && PtInRect(&place, at);
    };
    if (item_ != kClient) return inside(item_) ? giveNumber(CHILDID_SELF, hit) : giveNothing(hit);
    RECT client;
    GetClientRect(formWindow_, &client);
    if (!PtInRect(&client, at)) return giveNothing(hit);
    // Later items lie above earlier ones where they overlap.
    for (int index = static_cast<int>(form_->items().size()) - 1; index >= 0; --index)
      if (inside(index)) return giveNumber(index + 1, hit);
    return giveNumber(CHILDID_SELF, hit);
  }
  // What a click does, once this call has returned: the form may leave the
  // screen, which must not happen inside a screen reader's call.
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    int index;
    if (const HRESULT failed = resolve(child, index); failed != S_OK) return failed;
    if (index == kClient || form_->itemAction(index).empty()) return DISP_E_MEMBERNOTFOUND;
    if (!form_->itemAvailable(index)) return E_FAIL;
    return PostMessageW(formWindow_, kDefaultActionMessage, static_cast<WPARAM>(index), 0) ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  // The item a child id names (kClient: the form's client itself); S_OK,
  // or the error to answer with.
  HRESULT resolve(const VARIANT& child, int& index) const {
    if (!form_) return E_FAIL;
    const LONG count = static_cast<LONG>(form_->items().size());
    if (child.vt != VT_I4) return E_INVALIDARG;
    if (item_ != kClient) {
      index = item_;
      return child.lVal == CHILDID_SELF && item_ < count ? S_OK : E_INVALIDARG;
    }
    if (child.lVal < CHILDID_SELF || child.lVal > count) return E_INVALIDARG;
    index = child.lVal == CHILDID_SELF ? kClient : static_cast<int>(child.lVal) - 1;
    return S_OK;
  }

  LONG references_ = 1;
  Form* form_;
  HWND formWindow_;
  HWND window_;
  int item_;
};

AccessibleObjects::AccessibleObjects() = default;

AccessibleObjects::~AccessibleObjects() {
  for (auto& [window, object] : objects_) {
    object->detach();
    // Clients in other processes that still hold it get an error at once.
    CoDisconnectObject(static_cast<IAccessible*>(object.get()), 0);
  }
}

LRESULT AccessibleObjects::answer(Form& form, HWND formWindow, HWND window, int item, WPARAM wParam) {
  ComPtr<AccessibleObject>& object = objects_[window];
  if (!object) {
    auto made = std::make_unique<AccessibleObject>(form, formWindow, window, item);
    object = ComPtr<AccessibleObject>::adopt(made.release());  // its first reference; Release deletes it
  }
  return LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object.get()));
}

}  // namespace velmora::win32
