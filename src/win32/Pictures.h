#pragma once
// The embedded pictures, decoded once from their PNG resources (by
// stb_image: no system codec to load before the splash) and kept for the run in the form they are drawn from: a picture
// drawn by a plain copy at 8 bits with its own colours (24 when it has
// more than 256), one that must be blended as premultiplied 32 bits. The
// ones no window has asked for yet are decoded while the program is idle (the
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
  // Every pixel either shows fully or not at all (the pictures' rounded
  // corners): drawn by a plain copy clipped to the pixels that show, which
  // gives what a blend gives at a fraction of its cost. Empty when some
  // pixel is partly see-through; such a picture is blended.
  Region shownPart;
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
  // Throws PlatformFailure when the picture is not embedded; decodes nothing.
  void require(const std::string& id) const;
  // Draws a picture with its transparent pixels left out.
  void draw(HDC dc, const std::string& id, int x, int y);
  // Decodes one picture not asked for yet; false when none is left.
  bool decodeOneInAdvance();
  // A picture no window will ask for again: it is not decoded in advance,
  // and its decoded pixels are let go.
  void forget(const std::string& id);

 private:
  static BOOL CALLBACK collectName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR self);

  std::map<std::string, Picture> cache_;  // by resource name
  std::vector<std::string> pending_;
  // Each picture is selected into this DC to be drawn: one DC for the run
  // instead of one per picture and paint.
  HDC source_ = nullptr;
};

}  // namespace velmora::win32
