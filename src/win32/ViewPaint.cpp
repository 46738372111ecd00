// The view's painting: each form window and container child is drawn into
// a memory bitmap (background colour, picture, frame border, then the
// windowless pictures and labels it holds) and copied to the screen in one go.
#include "win32/FormWindow.h"
#include "win32/WinText.h"

namespace velmora::win32 {

HFONT Win32View::font(const velmora::Font& f) {
  const auto key = std::make_tuple(f.face, static_cast<int>(std::lround(f.points * 10)), f.bold, f.charset);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second.get();
  // A height in pixels (negative: the character height), so the DPI the
  // system reports plays no part once fontRequest has left it out.
  const FontRequest request = fontRequest(f, systemDpi_);
  HFONT created = CreateFontW(-request.pixelHeight, 0, 0, 0, request.weight, FALSE, FALSE, FALSE,
                              static_cast<BYTE>(request.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              DEFAULT_QUALITY, DEFAULT_PITCH, wide(request.face).c_str());
  return fonts_.emplace(key, FontHandle(created)).first->second.get();
}

COLORREF Win32View::colorRef(Colour colour) {
  return isSystemColour(colour) ? GetSysColor(static_cast<int>(systemColourIndex(colour))) : colour;
}

HBRUSH Win32View::brush(Colour colour) {
  const COLORREF solid = colorRef(colour);
  auto it = brushes_.find(solid);
  if (it == brushes_.end()) it = brushes_.emplace(solid, Brush(CreateSolidBrush(solid))).first;
  return it->second.get();
}

void Win32View::decodePictures(const Form& form) {
  if (!form.backgroundPicture().empty()) pictures_.get(form.backgroundPicture());
  for (const auto& control : form.controls())
    if (control->Visible() && !control->Picture().empty()) pictures_.get(control->Picture());
}

void Win32View::paint(FormWindow& fw, HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  HDC mem = backBuffer_.at(client.right, client.bottom);
  if (!mem) mem = dc;  // drawn straight onto the window rather than not at all
  // Only the part that needs it is drawn: a picture that changes under the
  // pointer repaints its own place, not the window.
  const RECT& dirty = ps.rcPaint;
  const int saved = SaveDC(mem);
  IntersectClipRect(mem, dirty.left, dirty.top, dirty.right, dirty.bottom);
  if (hwnd == fw.hwnd) {
    paintForm(fw, mem, client);
  } else if (auto it = fw.controlOf.find(hwnd); it != fw.controlOf.end()) {
    paintContainer(fw, *it->second, mem, client);
  }
  RestoreDC(mem, saved);
  if (mem != dc)
    BitBlt(dc, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, mem, dirty.left, dirty.top,
           SRCCOPY);
  EndPaint(hwnd, &ps);
}

void Win32View::paintForm(FormWindow& fw, HDC dc, const RECT& client) {
  const Form& form = *fw.form;
  FillRect(dc, &client, brush(form.BackColor()));
  if (!form.backgroundPicture().empty()) pictures_.draw(dc, form.backgroundPicture(), 0, 0);
  drawWindowless(fw, dc, nullptr, 0, 0);
  drawFocus(fw, dc);
}

// A container, a window of its own or drawn by the window it lies in, at
// its place `at` in the DC.
void Win32View::paintContainer(FormWindow& fw, const Control& box, HDC dc, const RECT& at) {
  FillRect(dc, &at, brush(box.BackColor().value_or(kButtonFace)));
  if (!box.Picture().empty()) pictures_.draw(dc, box.Picture(), at.left, at.top);
  if (box.kind() == ControlKind::Frame) drawFrameBorder(box, dc, at);
  drawWindowless(fw, dc, &box, at.left, at.top);
}

// An etched border, broken at the top-left by the caption.
void Win32View::drawFrameBorder(const Control& frame, HDC dc, const RECT& at) {
  Selected selectedFont(dc, font(frame.Font()));
  SIZE extent{};
  const std::wstring caption = wide(frame.Caption());
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  RECT border = at;
  border.top = at.top + extent.cy / 2;
  DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
  if (caption.empty()) return;
  RECT captionRect{.left = at.left + 8, .top = at.top, .right = at.left + 8 + extent.cx + 2, .bottom = at.top + extent.cy};
  FillRect(dc, &captionRect, brush(frame.BackColor().value_or(kButtonFace)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colorRef(frame.ForeColor()));
  TextOutW(dc, at.left + 9, at.top, caption.c_str(), static_cast<int>(caption.size()));
}

void Win32View::drawWindowless(FormWindow& fw, HDC dc, const Control* container, int originX, int originY) {
  for (const auto& owned : fw.form->controls()) {
    const Control& control = *owned;
    if (control.container() != container || control.windowed() || !control.Visible()) continue;
    RECT rc = pixelRect(control.rect());
    OffsetRect(&rc, originX, originY);
    if (control.kind() == ControlKind::Image && !control.Picture().empty()) {
      pictures_.draw(dc, control.Picture(), rc.left, rc.top);
    } else if (control.kind() == ControlKind::Label) {
      if (!control.BackTransparent()) FillRect(dc, &rc, brush(control.BackColor().value_or(kButtonFace)));
      Selected selectedFont(dc, font(control.Font()));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, control.Enabled() ? colorRef(control.ForeColor()) : GetSysColor(COLOR_GRAYTEXT));
      const std::wstring caption = wide(control.Caption());
      DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &rc, DT_WORDBREAK | DT_NOPREFIX);
    }
  }
  // Containers drawn here (windowed controls that were given no window of
  // their own) come after, above the pictures and labels beside them as a
  // child window would be, each cut off at its own edges.
  for (const auto& owned : fw.form->controls()) {
    const Control& box = *owned;
    if (box.container() != container || !box.windowed() || fw.children.count(&box) || !box.Visible()) continue;
    RECT rc = pixelRect(box.rect());
    OffsetRect(&rc, originX, originY);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
    paintContainer(fw, box, dc, rc);
    RestoreDC(dc, saved);
  }
}

}  // namespace velmora::win32
