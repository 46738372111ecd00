#pragma once
// Small value types shared by the screens and the platform services.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace velmora {

// An opaque window handle as the platform hands it out (an HWND on Windows).
using WindowHandle = std::uintptr_t;

// Colour value in the platform's blue-green-red order: 0x00BBGGRR.
using Colour = std::uint32_t;
constexpr Colour rgb(unsigned r, unsigned g, unsigned b) { return (b << 16) | (g << 8) | r; }
constexpr unsigned redOf(Colour c) { return c & 0xFF; }
constexpr unsigned greenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr unsigned blueOf(Colour c) { return (c >> 16) & 0xFF; }

constexpr Colour kRed = rgb(255, 0, 0);
constexpr Colour kGreen = rgb(0, 255, 0);
constexpr Colour kWhite = rgb(255, 255, 255);
constexpr Colour kBlack = rgb(0, 0, 0);
// A colour of the user's colour scheme, as programs of this generation store
// it: the high bit set and the system colour index below it. It is looked up
// when the window is painted, so it follows the scheme and its changes.
constexpr Colour kSystemColour = 0x80000000;
constexpr Colour systemColour(unsigned index) { return kSystemColour | index; }
constexpr bool isSystemColour(Colour c) { return (c & kSystemColour) != 0; }
constexpr unsigned systemColourIndex(Colour c) { return c & 0xFF; }
// The button-face colour of the scheme (COLOR_BTNFACE): what a window shows
// before anything repaints it.
constexpr Colour kButtonFace = systemColour(15);

// Mouse buttons as event arguments carry them: a single button for a press
// or release, the mask of all held buttons for a move.
namespace button {
constexpr int kLeft = 1;
constexpr int kRight = 2;
constexpr int kMiddle = 4;
}  // namespace button

// Something a platform service could not do that the program cannot go on
// without (a window or a picture that cannot be created). The message names
// what failed, in the user's language.
class PlatformFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace velmora
