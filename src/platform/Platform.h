#pragma once
// Every service the screens reach the outside world through.
#include "platform/MessageBoxService.h"
#include "platform/OsVersion.h"
#include "platform/ProgramStart.h"
#include "platform/RegistryShell.h"
#include "platform/SettingsStore.h"
#include "platform/User32Api.h"
#include "platform/Windowing.h"

namespace velmora {

struct Platform {
  Windowing& windowing;
  User32Api& user32;
  SettingsStore& settings;
  MessageBoxService& messageBox;
  RegistryShell& registry;
  OsVersion& osVersion;
  ProgramStart& programStart;
};

}  // namespace velmora
