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
// The system button-face colour: what a window shows before anything repaints it.
constexpr Colour kButtonFace = rgb(236, 233, 216);

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
