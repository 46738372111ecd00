#include "info/Form6.h"

#include <string>

#include "info/WebAddresses.h"
#include "platform/MessageBoxService.h"
#include "shell/framework/Skin.h"

namespace velmora {

namespace {
constexpr int kNormalFocusedWindow = 1;
}  // namespace

Form6::Form6(const FormContext& context) : Form(context, "Form6", "更多", 581, 351) {
  setBackground("form6/background");
  on(kFormBackground, Event::MouseDown, dragOnLeftPress(*this));
  on("Image1", Event::Click, [this](const EventArgs&) { openInBrowser(web::kProductPage); });
  on("Image2", Event::Click, [this](const EventArgs&) {
    services().messageBox.MsgBox("Vaultick当前处于研发阶段，暂不能使用，请您谅解。", msgbox::kInformation, "注意");
  });
  on("Image3", Event::Click, [this](const EventArgs&) { openInBrowser(web::kMakerSite); });
  on("Image4", Event::Click, [this](const EventArgs&) { openInBrowser(web::kAuthorMicroblog); });
  on("Image5", Event::Click, [this](const EventArgs&) { Image5_Click(); });
}

void Form6::createControls() {
  add("Image1", ControlKind::Image).at(80, 57.33, 101, 31).picture("form6/Image1").hand();
  add("Image2", ControlKind::Image).at(82, 130, 96, 29).picture("form6/Image2").hand();
  add("Image3", ControlKind::Image).at(21.33, 178, 121, 90).picture("form6/Image3").hand();
  add("Image4", ControlKind::Image).at(21.33, 280, 120, 36).picture("form6/Image4").hand();
  add("Image5", ControlKind::Image).at(486, 262, 60, 60).picture("form6/Image5").hand();
}

void Form6::Form_Load() { setUpSkin(*this, kRed); }

// The desktop shell hands the address to the user's browser. It is started
// by its full path: by a bare name, Windows would look in our own folder
// first, and a planted explorer.exe there would run instead. If the Windows
// folder is unknown, nothing is started rather than a guess.
void Form6::openInBrowser(const char* address) {
  ProgramStart& programs = services().programStart;
  const std::string windows = programs.WindowsDirectory();
  if (windows.empty()) return;
  std::string explorer = windows + "\\explorer.exe";
  if (explorer.find(' ') != std::string::npos) explorer = "\"" + explorer + "\"";
  programs.Shell(explorer + " " + address, kNormalFocusedWindow);
}

void Form6::Image5_Click() { navigator().returnShowFirst(*this); }

}  // namespace velmora
