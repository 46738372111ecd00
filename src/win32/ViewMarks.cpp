// Check boxes and option buttons drawn by the view. The system draws their
// marks at a size that follows the DPI it reports and sets the caption
// after the mark, so at any DPI but 96 the captions move right and out of
// the boxes the layout gives them. There the view draws these buttons
// itself, as the system draws them at 96 DPI: a 13-pixel mark centred on
// the caption's line, the caption half a digit's width after it.
#include "win32/FormWindow.h"
#include "win32/WinText.h"

namespace velmora::win32 {

namespace {

constexpr int kMarkSize = 13;  // the system's mark at 96 DPI
constexpr UINT kCaptionFormat = DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;

BOOL CALLBACK drawCaption(HDC dc, LPARAM text, WPARAM format, int width, int height) {
  RECT place{.left = 0, .top = 0, .right = width, .bottom = height};
  DrawTextW(dc, reinterpret_cast<LPCWSTR>(text), -1, &place, static_cast<UINT>(format));
  return TRUE;
}

// The mark's square at the button's left edge, centred on the caption's
// line as the system centres it.
RECT markBox(int left, const RECT& line) {
  RECT mark{.left = left, .top = line.top, .right = left + kMarkSize, .bottom = line.bottom};
  const int spare = (line.bottom - line.top) - kMarkSize;
  if (spare > 0) {
    mark.bottom -= spare / 2 + 1;
    mark.top = mark.bottom - kMarkSize;
  } else if (spare < 0) {
    mark.top -= -spare / 2 + 1;
    mark.bottom = mark.top + kMarkSize;
  }
  return mark;
}

}  // namespace

int Win32View::screenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

bool Win32View::systemMarksFitTheLayout() {
  HDC screen = GetDC(nullptr);
  const bool designed =
      GetDeviceCaps(screen, LOGPIXELSX) == kDesignDpi && GetDeviceCaps(screen, LOGPIXELSY) == kDesignDpi;
  ReleaseDC(nullptr, screen);
  return designed;
}

void Win32View::drawMarkButton(const Control& control, const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const RECT& client = item.rcItem;
  Selected selectedFont(dc, font(control.Font()));
  FillRect(dc, &client, controlColours(control, dc));

  // The caption's place: after the mark, one pixel in, centred on the height.
  int digit = 0;
  GetCharWidth32W(dc, L'0', L'0', &digit);
  RECT area = client;
  area.left += kMarkSize + digit / 2;
  const std::wstring caption = wide(control.Caption());
  RECT line = client;
  if (!caption.empty()) {
    RECT measured = area;
    DrawTextW(dc, caption.c_str(), -1, &measured, kCaptionFormat | DT_CALCRECT);
    const int width = measured.right - measured.left, height = measured.bottom - measured.top;
    line.left = area.left + 1;
    line.right = line.left + width;
    line.top = area.top + (area.bottom - area.top - height) / 2;
    line.bottom = line.top + height;
  }

  const bool enabled = !(item.itemState & ODS_DISABLED);
  UINT look = control.kind() == ControlKind::OptionButton ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
  if (control.Value()) look |= DFCS_CHECKED;
  if (item.itemState & ODS_SELECTED) look |= DFCS_PUSHED;
  if (!enabled) look |= DFCS_INACTIVE;
  RECT mark = markBox(client.left, line);
  DrawFrameControl(dc, &mark, DFC_BUTTON, look);
  if (caption.empty()) return;

  DrawStateW(dc, nullptr, drawCaption, reinterpret_cast<LPARAM>(caption.c_str()), kCaptionFormat, line.left,
             line.top, line.right - line.left, line.bottom - line.top, enabled ? DSS_NORMAL : DSS_DISABLED);
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = line;
    InflateRect(&focus, 1, 0);
    IntersectRect(&focus, &focus, &area);
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace velmora::win32
