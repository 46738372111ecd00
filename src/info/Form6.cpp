#include "info/Form6.h"

#include <string>

#include "info/WebAddresses.h"
#include "platform/MessageBoxService.h"
#include "shell/framework/Skin.h"

namespace velmora {

namespace {

constexpr int kNormalFocusedWindow = 1;

// The spots of the about picture, each a picture of its own.
constexpr const char* kProductSpot = "Image1";
constexpr const char* kVaultickSpot = "Image2";
constexpr const char* kMakerSpot = "Image3";
constexpr const char* kMicroblogSpot = "Image4";
constexpr const char* kArrow = "Image5";
constexpr const char* kFoldWord = "收起";  // the words under the arrow

Control& addSpot(Form& form, const char* name, const Rect& place) {
  return form.add(name, ControlKind::Image).at(place).picture(std::string("form6/") + name).hand();
}

}  // namespace

Form6::Form6(const FormContext& context) : Form(context, "Form6", "更多", 581, 351) {
  setBackground("form6/background");
  on(kFormBackground, Event::MouseDown, dragOnLeftPress(*this));
  on(kProductSpot, Event::Click, [this](const EventArgs&) { openInBrowser(web::kProductPage); });
  on(kVaultickSpot, Event::Click, [this](const EventArgs&) {
    services().messageBox.MsgBox("Vaultick当前处于研发阶段，暂不能使用，请您谅解。", msgbox::kInformation, "注意");
  });
  on(kMakerSpot, Event::Click, [this](const EventArgs&) { openInBrowser(web::kMakerSite); });
  on(kMicroblogSpot, Event::Click, [this](const EventArgs&) { openInBrowser(web::kAuthorMicroblog); });
  on(kArrow, Event::Click, [this](const EventArgs&) { Image5_Click(); });
}

void Form6::createControls() {
  addSpot(*this, kProductSpot, {80, 57.33, 101, 31});
  addSpot(*this, kVaultickSpot, {82, 130, 96, 29});
  addSpot(*this, kMakerSpot, {21.33, 178, 121, 90});
  addSpot(*this, kMicroblogSpot, {21.33, 280, 120, 36});
  addSpot(*this, kArrow, {486, 262, 60, 60});
  // Each spot reads as the words its picture shows.
  addItem({.name = "文件保险箱", .role = Role::Link, .parts = {kProductSpot}});
  addItem({.name = "Vaultick", .role = Role::PushButton, .parts = {kVaultickSpot}});
  addItem({.name = "Velmora Studio 维尔莫拉工作室", .role = Role::Link, .parts = {kMakerSpot}});
  addItem({.name = "微言 micro.example.net", .role = Role::Link, .parts = {kMicroblogSpot}});
  addItem({.name = kFoldWord, .role = Role::PushButton, .parts = {kArrow}});
  setEscapeItem(kFoldWord);
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
