#include "win32/Pictures.h"

#include <objidl.h>
// GDI+ flat API: present on every Windows since XP.
#include <gdiplus.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/Types.h"

namespace velmora::win32 {

namespace {

std::string resourceName(const std::string& id) {
  std::string name = id;
  for (char& ch : name) ch = ch == '/' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return name;
}

struct StreamRelease {
  void operator()(IStream* stream) const {
    if (stream) stream->Release();
  }
};

struct ImageDispose {
  void operator()(Gdiplus::GpBitmap* bitmap) const {
    if (bitmap) Gdiplus::DllExports::GdipDisposeImage(bitmap);
  }
};

// The pixels of a picture that show (alpha 255), as a region; empty when
// some pixel is partly see-through.
Region shownRegion(const std::uint32_t* argb, int width, int height) {
  std::vector<RECT> runs;
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = argb + static_cast<std::size_t>(y) * width;
    for (int x = 0; x < width;) {
      const unsigned alpha = row[x] >> 24;
      if (alpha != 0 && alpha != 0xFF) return {};
      int end = x + 1;
      while (end < width && (row[end] >> 24) == alpha) ++end;
      if (alpha == 0xFF) runs.push_back({.left = x, .top = y, .right = end, .bottom = y + 1});
      x = end;
    }
  }
  std::vector<BYTE> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<DWORD>(runs.size());
  header->rcBound = {.left = 0, .top = 0, .right = width, .bottom = height};
  std::memcpy(data.data() + sizeof(RGNDATAHEADER), runs.data(), runs.size() * sizeof(RECT));
  return Region(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data())));
}

// Decodes the resource `name`; `id` names the picture in a failure message.
Picture decode(const std::string& name, const std::string& id) {
  HRSRC resource = FindResourceA(nullptr, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
  HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = resource ? SizeofResource(nullptr, resource) : 0;
  if (!bytes || size == 0) throw PlatformFailure("找不到图片 " + id);

  // The stream owns a copy of the bytes and frees it on release.
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) throw PlatformFailure("内存不足，无法载入图片 " + id);
  std::memcpy(GlobalLock(copy), bytes, size);
  GlobalUnlock(copy);
  IStream* rawStream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &rawStream))) {
    GlobalFree(copy);
    throw PlatformFailure("无法载入图片 " + id);
  }
  std::unique_ptr<IStream, StreamRelease> stream(rawStream);

  Gdiplus::GpBitmap* rawBitmap = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromStream(stream.get(), &rawBitmap) != Gdiplus::Ok)
    throw PlatformFailure("无法解码图片 " + id);
  std::unique_ptr<Gdiplus::GpBitmap, ImageDispose> image(rawBitmap);

  UINT width = 0, height = 0;
  Gdiplus::DllExports::GdipGetImageWidth(image.get(), &width);
  Gdiplus::DllExports::GdipGetImageHeight(image.get(), &height);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  Picture picture;
  picture.bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!picture.bitmap || !pixels) throw PlatformFailure("内存不足，无法载入图片 " + id);
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);

  // Premultiplied pixels straight into the DIB, as AlphaBlend wants them.
  Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
  Gdiplus::BitmapData data{};
  data.Width = width;
  data.Height = height;
  data.Stride = static_cast<INT>(width * 4);
  data.PixelFormat = PixelFormat32bppPARGB;
  data.Scan0 = pixels;
  if (Gdiplus::DllExports::GdipBitmapLockBits(image.get(), &all,
                                               Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                               PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
    throw PlatformFailure("无法解码图片 " + id);
  Gdiplus::DllExports::GdipBitmapUnlockBits(image.get(), &data);
  const auto* argb = static_cast<const std::uint32_t*>(pixels);
  picture.opaque = std::all_of(argb, argb + std::size_t{width} * height,
                               [](std::uint32_t pixel) { return (pixel >> 24) == 0xFF; });
  if (!picture.opaque) picture.shownPart = shownRegion(argb, picture.width, picture.height);
  return picture;
}

}  // namespace

Pictures::Pictures() : source_(CreateCompatibleDC(nullptr)) {
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr);
  EnumResourceNamesA(nullptr, MAKEINTRESOURCEA(10), collectName, reinterpret_cast<LONG_PTR>(this));  // RT_RCDATA
}

BOOL CALLBACK Pictures::collectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR self) {
  if (!IS_INTRESOURCE(name)) reinterpret_cast<Pictures*>(self)->pending_.emplace_back(name);
  return TRUE;
}

bool Pictures::decodeOneInAdvance() {
  while (!pending_.empty()) {
    const std::string name = pending_.back();
    pending_.pop_back();
    if (cache_.count(name)) continue;
    try {
      cache_.emplace(name, decode(name, name));
    } catch (const PlatformFailure&) {
      // Reported when a window needs the picture.
    }
    return true;
  }
  return false;
}

Pictures::~Pictures() {
  DeleteDC(source_);
  cache_.clear();
  if (gdiplusToken_) Gdiplus::GdiplusShutdown(gdiplusToken_);
}

const Picture& Pictures::get(const std::string& id) {
  const std::string name = resourceName(id);
  auto it = cache_.find(name);
  if (it == cache_.end()) it = cache_.emplace(name, decode(name, id)).first;
  return it->second;
}

void Pictures::require(const std::string& id) const {
  if (cache_.count(resourceName(id))) return;
  if (!FindResourceA(nullptr, resourceName(id).c_str(), MAKEINTRESOURCEA(10)))  // RT_RCDATA
    throw PlatformFailure("找不到图片 " + id);
}

void Pictures::forget(const std::string& id) {
  const std::string name = resourceName(id);
  cache_.erase(name);
  pending_.erase(std::remove(pending_.begin(), pending_.end(), name), pending_.end());
}

void Pictures::draw(HDC dc, const std::string& id, int x, int y) {
  const Picture& picture = get(id);
  Selected selected(source_, picture.bitmap.get());
  if (picture.opaque) {
    BitBlt(dc, x, y, picture.width, picture.height, source_, 0, 0, SRCCOPY);
  } else if (picture.shownPart) {
    const int saved = SaveDC(dc);
    Region placed(CreateRectRgn(0, 0, 0, 0));
    CombineRgn(placed.get(), picture.shownPart.get(), nullptr, RGN_COPY);
    OffsetRgn(placed.get(), x, y);
    ExtSelectClipRgn(dc, placed.get(), RGN_AND);
    BitBlt(dc, x, y, picture.width, picture.height, source_, 0, 0, SRCCOPY);
    RestoreDC(dc, saved);
  } else {
    BLENDFUNCTION blend{.BlendOp = AC_SRC_OVER, .BlendFlags = 0, .SourceConstantAlpha = 255,
                        .AlphaFormat = AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, picture.width, picture.height, source_, 0, 0, picture.width, picture.height, blend);
  }
}

}  // namespace velmora::win32
