#include "shell/FormLoad.h"

#include "shell/framework/Skin.h"

namespace velmora {

namespace {
constexpr const char* kApp = "Velmora";
constexpr const char* kSection = "VrOpt";
constexpr const char* kKey = "LoadPictureNumber";
constexpr int kFadeStep = 17;
}  // namespace

FormLoad::FormLoad(const FormContext& context) : Form(context, "FormLoad", "加载中...", 580, 350) {
  setBackground("formload/background");
  withoutTaskbarButton();
  on("Timer1", Event::Timer, [this](const EventArgs&) { Timer1_Timer(); });
}

void FormLoad::createControls() {
  add("rnd2", ControlKind::Image).at(0, 0, 580, 350).picture("formload/rnd2").hidden();
  add("rnd3", ControlKind::Image).at(0, 0, 580, 350).picture("formload/rnd3").hidden();
  add("rnd4", ControlKind::Image).at(0, 0, 580, 350).picture("formload/rnd4").hidden();
  add("Timer1", ControlKind::Timer).interval(80);
}

void FormLoad::Form_Load() {
  // This start's picture, and the one the next start shows: the default
  // picture, rnd2, rnd3, rnd4, then round again. Anything unexpected starts
  // the round afresh.
  SettingsStore& settings = services().settings;
  const std::string current = settings.GetSetting(kApp, kSection, kKey);
  std::string next;
  if (current.empty()) {
    next = "2";
  } else if (current == "2") {
    c("rnd2").setVisible(true);
    next = "3";
  } else if (current == "3") {
    c("rnd3").setVisible(true);
    next = "4";
  } else if (current == "4") {
    c("rnd4").setVisible(true);
    next = "";
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
    c("Timer1").setEnabled(false);
    navigator().splashHandOver(*this);
  } else {
    services().user32.SetLayeredWindowAttributes(hWnd(), kWhite,
                                                 static_cast<std::uint8_t>(fadeLevel_), kLwaAlpha);
  }
}

}  // namespace velmora
