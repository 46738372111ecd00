#include "win32/Run.h"

#include <optional>

#include "program/Program.h"
#include "win32/Accessible.h"
#include "win32/CommonControls.h"
#include "win32/Pictures.h"
#include "win32/Win32Registry.h"
#include "win32/Win32Services.h"
#include "win32/Win32View.h"

namespace velmora::win32 {

int run(HINSTANCE instance, const ServiceAdapter& adapt) {
  // COM, for the objects screen readers are handed (Accessible.h): begun
  // once the first screen is on view (it costs the start milliseconds),
  // ended after the view has cut its objects off.
  std::optional<OleSession> com;
  // Unloaded after every window is gone: declared before the view.
  CommonControls commonControls;

  Pictures pictures;
  Win32View view(instance, pictures, commonControls);
  Win32User32 user32;
  RegistrySettingsStore settings;
  Win32MessageBox messageBox;
  Win32Registry registry;
  Win32OsVersion osVersion;
  Win32ProgramStart programStart;
  const Services real{.windows = view,
                      .user32 = user32,
                      .settings = settings,
                      .messageBox = messageBox,
                      .registry = registry,
                      .osVersion = osVersion,
                      .programStart = programStart};
  Services services = adapt ? adapt(real) : real;

  Program program(services);
  program.start();
  if (program.ended()) return 1;
  com.emplace();

  // The message loop; when no message waits, the common controls are
  // loaded, then the pictures no window has needed yet are decoded one at
  // a time.
  MSG message;
  for (;;) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return 0;
      if (view.translateKey(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (!commonControls.loaded()) {
      commonControls.load();
      continue;
    }
    if (!pictures.decodeOneInAdvance()) WaitMessage();
  }
}

}  // namespace velmora::win32
