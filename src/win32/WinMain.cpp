// Program entry: the real services, the screens over them, the message loop.
#include <windows.h>
#include <commctrl.h>

#include "program/Program.h"
#include "win32/Pictures.h"
#include "win32/Win32Registry.h"
#include "win32/Win32Services.h"
#include "win32/Win32View.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace velmora;
  using namespace velmora::win32;

  INITCOMMONCONTROLSEX controls{.dwSize = sizeof(INITCOMMONCONTROLSEX), .dwICC = ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  Pictures pictures;
  Win32View view(instance, pictures);
  Win32User32 user32;
  RegistrySettingsStore settings;
  Win32MessageBox messageBox;
  Win32Registry registry;
  Win32OsVersion osVersion;
  Win32ProgramStart programStart;
  Services services{.windows = view,
                    .user32 = user32,
                    .settings = settings,
                    .messageBox = messageBox,
                    .registry = registry,
                    .osVersion = osVersion,
                    .programStart = programStart};

  Program program(services);
  program.start();
  if (program.ended()) return 1;

  // The message loop; when no message waits, the pictures no window has
  // needed yet are decoded one at a time.
  MSG message;
  for (;;) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return 0;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (!pictures.decodeOneInAdvance()) WaitMessage();
  }
}
