#pragma once
// How a screen asks to be switched away from. The framework knows the
// order of each switch's steps (Switches.h); which forms take part is known
// only to the program, which alone knows every window kind.
#include <cstddef>
#include <cstdint>

namespace velmora {

class Form;

// The window kinds, one page object each: what the navigator is asked to
// switch to. The framework only passes them on; which form stands for each
// is known to the program alone.
enum class Screen : std::uint8_t { FormLoad, FormMain, Loading, Form1, Form2, Form3, Form4, Form5, Form6, DLB };
inline constexpr std::size_t kScreenCount = 10;

class Navigator {
 public:
  virtual ~Navigator() = default;
  // From the main window to a page; the main window unloads itself.
  virtual void switchViaLoading(Screen target) = 0;
  virtual void directSwitch(Screen target) = 0;
  // From a page back to a newly loaded main window.
  virtual void returnUnloadFirst(Form& page) = 0;
  virtual void returnShowFirst(Form& page) = 0;
  // From the splash to the main window.
  virtual void splashHandOver(Form& splash) = 0;
};

}  // namespace velmora
