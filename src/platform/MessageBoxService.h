#pragma once
// Modal message boxes. Style values are the classic ones: 16 stop, 48
// exclamation, 64 information, each with a single OK button.
#include <string>

namespace velmora {

namespace msgbox {
constexpr int kCritical = 16;
constexpr int kExclamation = 48;
constexpr int kInformation = 64;
}  // namespace msgbox

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  // Blocks until the user dismisses the box; returns the button pressed.
  virtual int MsgBox(const std::string& prompt, int style, const std::string& title) = 0;
};

}  // namespace velmora
