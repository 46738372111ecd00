#pragma once
// The embedded pictures, decoded once from their compressed resources with
// GDI+ and kept as premultiplied 32-bit bitmaps for the run. The ones no
// window has asked for yet are decoded while the program is idle (the
// splash fades in for over a second), so that no switch waits for a decode
// and memory does not grow as pages are first visited.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "win32/Handles.h"

namespace velmora::win32 {

struct Picture {
  Bitmap bitmap;
  int width = 0;
  int height = 0;
  // No pixel lets anything show through: drawn by a plain copy, which is
  // many times cheaper than a blend.
  bool opaque = false;
};

class Pictures {
 public:
  Pictures();
  ~Pictures();
  Pictures(const Pictures&) = delete;
  Pictures& operator=(const Pictures&) = delete;

  // The picture with this id ("formmain/DTF"); throws PlatformFailure when
  // it is not embedded or cannot be decoded.
  const Picture& get(const std::string& id);
  // Draws a picture with its transparent pixels left out.
  void draw(HDC dc, const std::string& id, int x, int y);
  // Decodes one picture not asked for yet; false when none is left.
  bool decodeOneInAdvance();

 private:
  static BOOL CALLBACK collectName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR self);

  ULONG_PTR gdiplusToken_ = 0;
  std::map<std::string, Picture> cache_;  // by resource name
  std::vector<std::string> pending_;
};

}  // namespace velmora::win32
