// Program entry.
#include <windows.h>

#include "win32/Run.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return velmora::win32::run(instance); }
