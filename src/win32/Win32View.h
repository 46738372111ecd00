#pragma once
// The real windows: one layered-capable WS_POPUP window per loaded form,
// windowless pictures, labels, picture boxes and frames drawn by the window
// they lie in and hit-tested by their form (a frame that must cut off a
// control running past it is a child window), and native check boxes,
// option buttons and text boxes. Input goes back to the form.
// Win32View.cpp makes and updates the windows, ViewPaint.cpp draws them,
// ViewMessages.cpp handles their messages.
#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "shell/framework/Control.h"
#include "shell/framework/WindowPort.h"
#include "win32/CommonControls.h"
#include "win32/Handles.h"
#include "win32/Pictures.h"

namespace velmora::win32 {

class Win32View : public WindowPort {
 public:
  Win32View(HINSTANCE instance, Pictures& pictures, CommonControls& commonControls);
  ~Win32View() override;

  WindowHandle CreateFormWindow(Form& form) override;
  void DestroyFormWindow(WindowHandle window) override;
  void ShowFormWindow(WindowHandle window) override;
  void HideFormWindow(WindowHandle window) override;
  void SetWindowState(WindowHandle window, int state) override;
  void FormChanged(WindowHandle window) override;
  void ControlChanged(WindowHandle window, const Control& control) override;
  void FocusChanged(WindowHandle window) override;
  void EndProgram() override;

  // The message loop hands every message here before it is translated: a
  // key of the page goes to its form, as a dialog's keys go to the dialog
  // manager, and is then neither translated into a character nor sent on.
  bool translateKey(const MSG& message);

  struct FormWindow;

 private:
  // Messages (ViewMessages.cpp). Each handler gives the message's result,
  // or nothing to leave the message to the default window procedure.
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK NativeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(FormWindow& fw, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> onPaint(FormWindow& fw, HWND hwnd);
  std::optional<LRESULT> onSetCursor(FormWindow& fw, LPARAM lParam);
  std::optional<LRESULT> onTimer(FormWindow& fw, WPARAM id);
  std::optional<LRESULT> onClose(FormWindow& fw);
  std::optional<LRESULT> onCommand(FormWindow& fw, WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> onCtlColor(FormWindow& fw, WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> onDrawItem(FormWindow& fw, LPARAM lParam);
  std::optional<LRESULT> onMouse(FormWindow& fw, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  bool forwardMouse(FormWindow& fw, HWND from, UINT message, WPARAM wParam, LPARAM lParam);

  // Painting (ViewPaint.cpp).
  // Decodes every picture the form shows now; throws PlatformFailure.
  void decodePictures(const Form& form);
  void paint(FormWindow& fw, HWND hwnd);
  void paintForm(FormWindow& fw, HDC dc, const RECT& client);
  void paintContainer(FormWindow& fw, const Control& box, HDC dc, const RECT& at);
  void drawFrameBorder(const Control& frame, HDC dc, const RECT& at);
  void drawWindowless(FormWindow& fw, HDC dc, const Control* container, int originX, int originY);
  HFONT font(const velmora::Font& f);
  // The text and background colours of a native control, set into its DC;
  // the brush that fills its background.
  HBRUSH controlColours(const Control& control, HDC dc);
  // A colour as GDI takes it: a system colour looked up in the scheme now.
  static COLORREF colorRef(Colour colour);
  HBRUSH brush(Colour colour);

  // Check boxes and option buttons drawn by the view (ViewMarks.cpp).
  // The DPI the screen reports, read once.
  static int screenDpi();
  static bool systemMarksFitTheLayout();
  void drawMarkButton(const Control& control, const DRAWITEMSTRUCT& item);

  // The keyboard focus (ViewFocus.cpp): the Win32 focus put where the form
  // has it, the focus cues shown or hidden, the focus rectangle drawn.
  void applyFocus(FormWindow& fw);
  void drawFocus(FormWindow& fw, HDC dc);

  // Screen readers (ViewAccess.cpp): the object WM_GETOBJECT asks for, and
  // the WinEvents that tell them of a focus move and of a changed item.
  std::optional<LRESULT> onGetObject(FormWindow& fw, HWND hwnd, WPARAM wParam, LPARAM lParam);
  void rememberReadings(FormWindow& fw);
  void announceFocus(FormWindow& fw, bool always = false);
  void announceChange(FormWindow& fw, const Control& control);

  // Windows and their children (Win32View.cpp).
  void createChild(FormWindow& fw, const Control& control);
  void showChange(FormWindow& fw, const Control& control);
  void updateChild(FormWindow& fw, HWND child, const Control& control);
  bool overlapsOlderSibling(FormWindow& fw, HWND parent, const RECT& place);
  void updateTimer(FormWindow& fw, const Control& control);
  void updateToolTip(FormWindow& fw, const Control& control);
  // The window a control lies in, and where its container's origin is in it.
  struct Host {
    HWND window;
    POINT offset;
  };
  static bool drawnByForm(const Form& form, const Control& control);
  Host hostOf(FormWindow& fw, const Control& control);

  HINSTANCE instance_;
  Pictures& pictures_;
  CommonControls& commonControls_;
  HCURSOR hand_;
  HCURSOR arrow_;
  int systemDpi_;
  // Whether check boxes and option buttons are drawn by the view rather
  // than by the system (see ViewMarks.cpp); fixed for the run.
  bool drawsMarks_;
  // A key of a page is being handled: focus moves wait for its end.
  bool keyInHand_ = false;
  std::map<HWND, std::unique_ptr<FormWindow>> windows_;
  std::map<std::tuple<std::string, int, bool, int>, FontHandle> fonts_;
  std::map<COLORREF, Brush> brushes_;
  BackBuffer backBuffer_;
};

}  // namespace velmora::win32
