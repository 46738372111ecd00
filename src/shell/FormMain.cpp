#include "shell/FormMain.h"

#include "shell/Screen.h"
#include "shell/framework/Skin.h"

namespace velmora {

namespace {

// A tile is a three-state button: normal picture, hover picture (the tile in
// a light outline) and pressed picture (darker, shifted).
struct Tile {
  const char* normal;
  const char* hover;
  const char* pressed;
  Screen target;
  Rect normalAt, hoverAt, pressedAt;
};

constexpr Tile kTiles[] = {
    {"Image4", "DTF", "Image5", Screen::Form1,
     {48, 52, 231, 130}, {48, 52, 234, 134}, {50.67, 55.33, 230, 130}},
    {"Image6", "SYF", "Image7", Screen::Form2,
     {301.33, 52, 230, 130}, {301, 52, 234, 134}, {304, 54.67, 230, 131}},
    {"Image8", "MSF", "Image9", Screen::Form3,
     {48, 199.33, 230, 129}, {48, 199.33, 234, 134}, {50.67, 202, 230, 130}},
    {"Image10", "MF", "Image11", Screen::Form4,
     {301.33, 199.33, 230, 130}, {301.33, 199.33, 234, 134}, {304, 202, 230, 130}},
};

// A side tab: the normal picture and the hover picture, which takes the click.
struct Tab {
  const char* normal;
  const char* hover;
  Rect normalAt, hoverAt;
};

constexpr Tab kTabs[] = {
    {"DL", "DL2", {0, 42.67, 27, 105}, {0, 43, 27, 105}},
    {"FE", "FE2", {0, 149.33, 27, 105}, {0, 149, 27, 105}},
    {"GY", "GY2", {552, 41, 27, 77}, {550.67, 41.33, 29, 77}},
    {"BZ", "BZ2", {552, 119, 27, 77}, {552, 120, 29, 77}},
};

std::string pictureOf(const char* control) { return std::string("formmain/") + control; }

Control& place(Control& control, const Rect& r) { return control.at(r.left, r.top, r.width, r.height); }

}  // namespace

FormMain::FormMain(const FormContext& context) : Form(context, "FormMain", "Velmora", 580, 350) {
  setBackground("formmain/background");

  on(kFormBackground, Event::MouseMove, [this](const EventArgs&) { Form_MouseMove(); });
  on("Picture1", Event::MouseMove, [this](const EventArgs& a) { Picture1_MouseMove(a); });
  on("Image1", Event::Click, [this](const EventArgs&) { Image1_Click(); });
  on("Image2", Event::MouseMove, swapPictures(*this, "Image2", "Image3"));
  on("Image3", Event::Click, [this](const EventArgs&) { Image3_Click(); });

  for (const Tile& tile : kTiles) {
    on(tile.normal, Event::MouseMove, swapPictures(*this, tile.normal, tile.hover));
    on(tile.hover, Event::MouseDown, swapPictures(*this, tile.hover, tile.pressed));
    on(tile.hover, Event::MouseUp,
       [this, tile](const EventArgs&) { this->navigator().switchViaLoading(tile.target); });
  }

  // The tabs of one side form a pair: hovering one returns the other.
  on("DL", Event::MouseMove, [this](const EventArgs&) {
    showControls(*this, {"DL2"});
    hideControls(*this, {"DL", "FE2"});
    showControls(*this, {"FE"});
  });
  on("FE", Event::MouseMove, [this](const EventArgs&) {
    showControls(*this, {"FE2"});
    hideControls(*this, {"FE", "DL2"});
    showControls(*this, {"DL"});
  });
  on("GY", Event::MouseMove, [this](const EventArgs&) {
    showControls(*this, {"BZ"});
    hideControls(*this, {"BZ2", "GY"});
    showControls(*this, {"GY2"});
  });
  on("BZ", Event::MouseMove, [this](const EventArgs&) {
    hideControls(*this, {"BZ"});
    showControls(*this, {"BZ2", "GY"});
    hideControls(*this, {"GY2"});
  });
  on("DL2", Event::Click, [this](const EventArgs&) { this->navigator().switchViaLoading(Screen::DLB); });
  on("FE2", Event::Click, [this](const EventArgs&) { FE2_Click(); });
  on("GY2", Event::Click, [this](const EventArgs&) { this->navigator().directSwitch(Screen::Form6); });
  on("BZ2", Event::Click, [this](const EventArgs&) { this->navigator().directSwitch(Screen::Form5); });
}

void FormMain::createControls() {
  Control& titleBar = addTitleBar(*this);
  add("Image1", ControlKind::Image, &titleBar).at(518, 0, 27, 18).picture("formmain/Image1").hand();
  addClosePair(*this, titleBar);
  for (const Tile& tile : kTiles) {
    place(add(tile.normal, ControlKind::Image), tile.normalAt).picture(pictureOf(tile.normal));
    place(add(tile.hover, ControlKind::Image), tile.hoverAt).picture(pictureOf(tile.hover)).hidden().hand();
    place(add(tile.pressed, ControlKind::Image), tile.pressedAt).picture(pictureOf(tile.pressed)).hidden();
  }
  for (const Tab& tab : kTabs) {
    place(add(tab.normal, ControlKind::Image), tab.normalAt).picture(pictureOf(tab.normal));
    place(add(tab.hover, ControlKind::Image), tab.hoverAt).picture(pictureOf(tab.hover)).hidden();
  }
}

void FormMain::Form_Load() { setUpSkin(*this, kRed); }

void FormMain::onSystemClose() { Image3_Click(); }

void FormMain::Form_MouseMove() {
  showControls(*this, {"Image2"});
  hideControls(*this, {"Image3"});
  for (const Tile& tile : kTiles) {
    c(tile.normal).setVisible(true);
    c(tile.pressed).setVisible(false);
  }
  hideControls(*this, {"DTF", "SYF", "MSF", "MF"});
  showControls(*this, {"GY", "BZ"});
  hideControls(*this, {"GY2", "BZ2"});
  showControls(*this, {"DL", "FE"});
  hideControls(*this, {"DL2", "FE2"});
}

void FormMain::Picture1_MouseMove(const EventArgs& args) {
  showControls(*this, {"Image2"});
  hideControls(*this, {"Image3"});
  dragIfLeftAlone(*this, args.button);
}

void FormMain::Image1_Click() { setWindowState(1); }

void FormMain::Image3_Click() { runtime().endProgram(); }

void FormMain::FE2_Click() {
  services().messageBox.MsgBox("即将更新，敬请期待。", msgbox::kExclamation, "注意");
}

}  // namespace velmora
