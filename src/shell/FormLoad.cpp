#include "shell/FormLoad.h"

#include <string>

#include "shell/framework/Skin.h"

namespace velmora {

namespace {
constexpr const char* kApp = "Velmora";
constexpr const char* kSection = "VrOpt";
constexpr const char* kKey = "LoadPictureNumber";
constexpr int kFadeStep = 17;

// The pictures that cover the background picture on the starts that show
// another one, and the fade timer.
constexpr const char* kCovers[] = {"rnd2", "rnd3", "rnd4"};
constexpr const char* kFadeTimer = "Timer1";

// This start's picture by the stored number, and the number stored for the
// next start: the background picture, rnd2, rnd3, rnd4, then round again.
struct Turn {
  const char* stored;
  const char* cover;  // nullptr: the background picture alone
  const char* next;
};
constexpr Turn kTurns[] = {
    {.stored = "", .cover = nullptr, .next = "2"},
    {.stored = "2", .cover = kCovers[0], .next = "3"},
    {.stored = "3", .cover = kCovers[1], .next = "4"},
    {.stored = "4", .cover = kCovers[2], .next = ""},
};

}  // namespace

FormLoad::FormLoad(const FormContext& context) : Form(context, "FormLoad", "加载中...", 580, 350) {
  setBackground("formload/background");
  withoutTaskbarButton();
  onceOnly();
  on(kFadeTimer, Event::Timer, [this](const EventArgs&) { Timer1_Timer(); });
}

void FormLoad::createControls() {
  for (const char* cover : kCovers)
    add(cover, ControlKind::Image).at(0, 0, 580, 350).picture(std::string("formload/") + cover).hidden();
  add(kFadeTimer, ControlKind::Timer).interval(80);
}

void FormLoad::Form_Load() {
  // Anything unexpected shows the background picture and starts the round
  // afresh.
  SettingsStore& settings = services().settings;
  const std::string current = settings.GetSetting(kApp, kSection, kKey);
  std::string next;
  for (const Turn& turn : kTurns) {
    if (current != turn.stored) continue;
    if (turn.cover) c(turn.cover).setVisible(true);
    next = turn.next;
    break;
  }
  settings.SaveSetting(kApp, kSection, kKey, next);

  // Fully transparent when first shown; the timer fades it in.
  setBackColor(kWhite);
  makeLayered(*this);
  services().user32.SetLayeredWindowAttributes(hWnd(), kWhite, 0, kLwaAlpha);
  fadeLevel_ = 0;
}

void FormLoad::Timer1_Timer() {
  if (fadeLevel_ < 255) fadeLevel_ += kFadeStep;
  if (fadeLevel_ == 255) {
    // Hand over at once: full opacity is never applied to the splash.
    c(kFadeTimer).setEnabled(false);
    navigator().splashHandOver(*this);
  } else {
    services().user32.SetLayeredWindowAttributes(hWnd(), kWhite,
                                                 static_cast<std::uint8_t>(fadeLevel_), kLwaAlpha);
  }
}

}  // namespace velmora
