#pragma once
// Everything the screens reach the outside world through: the windows, and
// the platform's services.
#include "platform/MessageBoxService.h"
#include "platform/OsVersion.h"
#include "platform/ProgramStart.h"
#include "platform/RegistryShell.h"
#include "platform/SettingsStore.h"
#include "platform/User32Api.h"
#include "shell/framework/WindowPort.h"

namespace velmora {

struct Services {
  WindowPort& windows;
  User32Api& user32;
  SettingsStore& settings;
  MessageBoxService& messageBox;
  RegistryShell& registry;
  OsVersion& osVersion;
  ProgramStart& programStart;
};

}  // namespace velmora
