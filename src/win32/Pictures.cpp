#include "win32/Pictures.h"

#include <stb_image.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/Types.h"

namespace velmora::win32 {

namespace {

std::string resourceName(const std::string& id) {
  std::string name = id;
  for (char& ch : name) ch = ch == '/' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return name;
}

struct DecodedFree {
  void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
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

// A top-down DIB section of `bits` bits per pixel (8: with `palette` as its
// colours) holding the pixels `argb`, each by its index in `palette` at 8
// bits, else by its colour; nullptr when none can be made.
Bitmap bitmapOf(const std::vector<std::uint32_t>& argb, int width, int height, int bits,
                const std::vector<std::uint32_t>& palette = {}, const std::vector<BYTE>& indices = {}) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = -height;  // top-down
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bits);
  info.header.biCompression = BI_RGB;
  if (bits == 8) {
    info.header.biClrUsed = static_cast<DWORD>(palette.size());
    for (std::size_t i = 0; i < palette.size(); ++i)
      info.colours[i] = RGBQUAD{.rgbBlue = static_cast<BYTE>(palette[i]), .rgbGreen = static_cast<BYTE>(palette[i] >> 8),
                                .rgbRed = static_cast<BYTE>(palette[i] >> 16), .rgbReserved = 0};
  }
  void* pixels = nullptr;
  Bitmap bitmap(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!bitmap || !pixels) return nullptr;
  const std::size_t stride = (static_cast<std::size_t>(width) * bits / 8 + 3) & ~std::size_t{3};
  for (int y = 0; y < height; ++y) {
    auto* row = static_cast<BYTE*>(pixels) + stride * static_cast<std::size_t>(y);
    const std::size_t first = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    if (bits == 32) {
      std::memcpy(row, argb.data() + first, static_cast<std::size_t>(width) * 4);
    } else if (bits == 8) {
      std::memcpy(row, indices.data() + first, static_cast<std::size_t>(width));
    } else {
      for (int x = 0; x < width; ++x) {
        const std::uint32_t pixel = argb[first + static_cast<std::size_t>(x)];
        row[3 * x] = static_cast<BYTE>(pixel);
        row[3 * x + 1] = static_cast<BYTE>(pixel >> 8);
        row[3 * x + 2] = static_cast<BYTE>(pixel >> 16);
      }
    }
  }
  return bitmap;
}

// A picture drawn by a plain copy of the pixels that show needs no alpha:
// it is kept at 8 bits with its own colours when the pixels that show have
// no more than 256 of them (a quarter of the memory, the same pixels once
// copied), else at 24 bits. The pixels that do not show are never copied.
Bitmap keptForCopying(const std::vector<std::uint32_t>& argb, int width, int height) {
  std::vector<std::uint32_t> palette;
  std::unordered_map<std::uint32_t, BYTE> index;
  std::vector<BYTE> indices(argb.size(), 0);
  for (std::size_t i = 0; i < argb.size(); ++i) {
    if ((argb[i] >> 24) != 0xFF) continue;
    const std::uint32_t colour = argb[i] & 0xFFFFFF;
    auto it = index.find(colour);
    if (it == index.end()) {
      if (palette.size() == 256) return bitmapOf(argb, width, height, 24);
      it = index.emplace(colour, static_cast<BYTE>(palette.size())).first;
      palette.push_back(colour);
    }
    indices[i] = it->second;
  }
  return bitmapOf(argb, width, height, 8, palette, indices);
}

// Decodes the resource `name`; `id` names the picture in a failure message.
Picture decode(const std::string& name, const std::string& id) {
  HRSRC resource = FindResourceA(nullptr, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
  HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = resource ? SizeofResource(nullptr, resource) : 0;
  if (!bytes || size == 0) throw PlatformFailure("找不到图片 " + id);

  int width = 0, height = 0, channels = 0;
  std::unique_ptr<stbi_uc, DecodedFree> rgba(
      stbi_load_from_memory(static_cast<const stbi_uc*>(bytes), static_cast<int>(size), &width, &height, &channels, 4));
  if (!rgba) throw PlatformFailure("无法解码图片 " + id);

  // Premultiplied pixels, as AlphaBlend wants them; a picture that needs
  // no blend is kept in fewer bits below.
  std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const stbi_uc* pixel = rgba.get();
  for (std::uint32_t& out : argb) {
    const unsigned alpha = pixel[3];
    const auto premultiplied = [alpha](unsigned channel) { return (channel * alpha + 127) / 255; };
    out = alpha << 24 | premultiplied(pixel[0]) << 16 | premultiplied(pixel[1]) << 8 | premultiplied(pixel[2]);
    pixel += 4;
  }
  rgba.reset();

  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.opaque = std::all_of(argb.begin(), argb.end(), [](std::uint32_t pixel) { return (pixel >> 24) == 0xFF; });
  if (!picture.opaque) picture.shownPart = shownRegion(argb.data(), picture.width, picture.height);
  const bool blended = !picture.opaque && !picture.shownPart;
  picture.bitmap = blended ? bitmapOf(argb, picture.width, picture.height, 32)
                           : keptForCopying(argb, picture.width, picture.height);
  if (!picture.bitmap) throw PlatformFailure("内存不足，无法载入图片 " + id);
  return picture;
}

}  // namespace

Pictures::Pictures() : source_(CreateCompatibleDC(nullptr)) {
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
