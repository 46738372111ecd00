#pragma once
// Owners for the Windows handles the program creates.
#include <windows.h>

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

// A memory device context with a bitmap selected into it, restored on exit.
class MemoryDc {
 public:
  MemoryDc(HDC compatible, int width, int height)
      : dc_(CreateCompatibleDC(compatible)), bitmap_(CreateCompatibleBitmap(compatible, width, height)) {
    old_ = SelectObject(dc_, bitmap_.get());
  }
  ~MemoryDc() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
  Bitmap bitmap_;
  HGDIOBJ old_;
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
