#pragma once
// The user32 calls behind the layered look and the title-bar drag. Results
// are returned as the system gives them; the screens do not examine them.
#include <cstdint>

#include "platform/Types.h"

namespace velmora {

constexpr int kGwlExStyle = -20;
constexpr std::int32_t kWsExLayered = 0x80000;
constexpr std::uint32_t kLwaColorKey = 1;
constexpr std::uint32_t kLwaAlpha = 2;
constexpr std::uint32_t kWmNcLButtonDown = 0xA1;
constexpr std::uintptr_t kHtCaption = 2;

class User32Api {
 public:
  virtual ~User32Api() = default;
  virtual std::int32_t GetWindowLongA(WindowHandle window, int index) = 0;
  virtual std::int32_t SetWindowLongA(WindowHandle window, int index, std::int32_t value) = 0;
  virtual bool SetLayeredWindowAttributes(WindowHandle window, Colour key, std::uint8_t alpha,
                                          std::uint32_t flags) = 0;
  virtual bool ReleaseCapture() = 0;
  virtual std::intptr_t SendMessageA(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace velmora
