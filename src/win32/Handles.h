#pragma once
// Owners for the Windows handles the program creates.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <type_traits>

namespace velmora::win32 {

struct GdiObjectDeleter {
  void operator()(void* object) const {
    if (object) DeleteObject(static_cast<HGDIOBJ>(object));
  }
};
template <class T>
using GdiObject = std::unique_ptr<std::remove_pointer_t<T>, GdiObjectDeleter>;
using Bitmap = GdiObject<HBITMAP>;
using FontHandle = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Region = GdiObject<HRGN>;

struct RegKeyDeleter {
  void operator()(HKEY key) const {
    if (key) RegCloseKey(key);
  }
};
using RegKey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegKeyDeleter>;

struct HandleDeleter {
  void operator()(HANDLE handle) const {
    if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using KernelHandle = std::unique_ptr<void, HandleDeleter>;

// A memory device context over a 32-bit bitmap, kept for the run and grown
// when a larger picture is asked for: every paint is composed in it and
// copied to the window in one go, without a bitmap made for each paint.
class BackBuffer {
 public:
  BackBuffer() : dc_(CreateCompatibleDC(nullptr)) {}
  ~BackBuffer() {
    if (old_) SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  BackBuffer(const BackBuffer&) = delete;
  BackBuffer& operator=(const BackBuffer&) = delete;

  // The DC, with room for width x height pixels (nullptr when none can be made).
  HDC at(int width, int height) {
    if (width <= width_ && height <= height_) return dc_;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = std::max(width, width_);
    info.bmiHeader.biHeight = -std::max(height, height_);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    Bitmap grown(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!grown) return nullptr;
    HGDIOBJ previous = SelectObject(dc_, grown.get());
    if (!old_) old_ = previous;
    bitmap_ = std::move(grown);
    width_ = static_cast<int>(info.bmiHeader.biWidth);
    height_ = static_cast<int>(-info.bmiHeader.biHeight);
    return dc_;
  }

 private:
  HDC dc_;
  Bitmap bitmap_;
  HGDIOBJ old_ = nullptr;
  int width_ = 0, height_ = 0;
};

// Selects an object into a DC for one scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, old_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace velmora::win32
