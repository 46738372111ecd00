#include "shell/FormMain.h"

#include "shell/framework/Skin.h"

namespace velmora {

namespace {

// The minimise picture, in the title bar left of the close pair.
constexpr const char* kMinimise = "Image1";

// A tile: a three-state button that opens a page through Loading. Its
// hover picture is the tile in a light outline, its pressed picture darker
// and shifted.
struct Tile {
  const char* word;  // the word its picture shows
  PictureButton button;
  Screen target;
  Rect normalAt, hoverAt, pressedAt;
};

constexpr Tile kTiles[] = {
    {.word = "桌面",
     .button = {.normal = "Image4", .hover = "DTF", .pressed = "Image5"},
     .target = Screen::Form1,
     .normalAt = {48, 52, 231, 130},
     .hoverAt = {48, 52, 234, 134},
     .pressedAt = {50.67, 55.33, 230, 130}},
    {.word = "系统",
     .button = {.normal = "Image6", .hover = "SYF", .pressed = "Image7"},
     .target = Screen::Form2,
     .normalAt = {301.33, 52, 230, 130},
     .hoverAt = {301, 52, 234, 134},
     .pressedAt = {304, 54.67, 230, 131}},
    {.word = "个性化",
     .button = {.normal = "Image8", .hover = "MSF", .pressed = "Image9"},
     .target = Screen::Form3,
     .normalAt = {48, 199.33, 230, 129},
     .hoverAt = {48, 199.33, 234, 134},
     .pressedAt = {50.67, 202, 230, 130}},
    {.word = "更多",
     .button = {.normal = "Image10", .hover = "MF", .pressed = "Image11"},
     .target = Screen::Form4,
     .normalAt = {301.33, 199.33, 230, 130},
     .hoverAt = {301.33, 199.33, 234, 134},
     .pressedAt = {304, 202, 230, 130}},
};

// A side tab: the normal picture and the hover picture, which takes the
// click. The two tabs of one side form a pair.
struct Tab {
  const char* word;
  const char* normal;
  const char* hover;
  Rect normalAt, hoverAt;
};

constexpr Tab kPinnoteTab{
    .word = "Pinnote", .normal = "DL", .hover = "DL2", .normalAt = {0, 42.67, 27, 105}, .hoverAt = {0, 43, 27, 105}};
constexpr Tab kTextToolTab{.word = "文本工具",
                           .normal = "FE",
                           .hover = "FE2",
                           .normalAt = {0, 149.33, 27, 105},
                           .hoverAt = {0, 149, 27, 105}};
constexpr Tab kAboutTab{.word = "关于",
                        .normal = "GY",
                        .hover = "GY2",
                        .normalAt = {552, 41, 27, 77},
                        .hoverAt = {550.67, 41.33, 29, 77}};
constexpr Tab kHelpTab{
    .word = "帮助", .normal = "BZ", .hover = "BZ2", .normalAt = {552, 119, 27, 77}, .hoverAt = {552, 120, 29, 77}};

// Each tab with the other tab of its side, in the order they are made.
struct TabPair {
  const Tab& tab;
  const Tab& partner;
};
constexpr TabPair kTabs[] = {
    {.tab = kPinnoteTab, .partner = kTextToolTab},
    {.tab = kTextToolTab, .partner = kPinnoteTab},
    {.tab = kAboutTab, .partner = kHelpTab},
    {.tab = kHelpTab, .partner = kAboutTab},
};

std::string pictureOf(const char* control) { return std::string("formmain/") + control; }

}  // namespace

FormMain::FormMain(const FormContext& context) : Form(context, "FormMain", "Velmora", 580, 350) {
  setBackground("formmain/background");

  on(kFormBackground, Event::MouseMove, [this](const EventArgs&) { Form_MouseMove(); });
  on(standard::kTitleBar, Event::MouseMove, [this](const EventArgs& a) { Picture1_MouseMove(a); });
  on(kMinimise, Event::Click, [this](const EventArgs&) { Image1_Click(); });
  attachClosePair(*this, standard::kClose, [this](const EventArgs&) { Image3_Click(); });

  for (const Tile& tile : kTiles)
    attachPictureButton(*this, tile.button,
                        [this, target = tile.target](const EventArgs&) { navigator().switchViaLoading(target); });

  // Hovering a tab shows its hover picture and returns the other tab of its side.
  for (const TabPair& pair : kTabs) {
    on(pair.tab.normal, Event::MouseMove, [this, &pair](const EventArgs&) {
      showControls(*this, {pair.tab.hover});
      hideControls(*this, {pair.tab.normal, pair.partner.hover});
      showControls(*this, {pair.partner.normal});
    });
  }
  on(kPinnoteTab.hover, Event::Click, [this](const EventArgs&) { navigator().switchViaLoading(Screen::DLB); });
  on(kTextToolTab.hover, Event::Click, [this](const EventArgs&) { FE2_Click(); });
  on(kAboutTab.hover, Event::Click, [this](const EventArgs&) { navigator().directSwitch(Screen::Form6); });
  on(kHelpTab.hover, Event::Click, [this](const EventArgs&) { navigator().directSwitch(Screen::Form5); });
}

void FormMain::createControls() {
  Control& titleBar = addTitleBar(*this);
  add(kMinimise, ControlKind::Image, &titleBar).at(518, 0, 27, 18).picture(pictureOf(kMinimise)).hand();
  addClosePair(*this, titleBar);
  for (const Tile& tile : kTiles) {
    const PictureButton& b = tile.button;
    add(b.normal, ControlKind::Image).at(tile.normalAt).picture(pictureOf(b.normal));
    add(b.hover, ControlKind::Image).at(tile.hoverAt).picture(pictureOf(b.hover)).hidden().hand();
    add(b.pressed, ControlKind::Image).at(tile.pressedAt).picture(pictureOf(b.pressed)).hidden();
  }
  for (const TabPair& pair : kTabs) {
    const Tab& tab = pair.tab;
    add(tab.normal, ControlKind::Image).at(tab.normalAt).picture(pictureOf(tab.normal));
    add(tab.hover, ControlKind::Image).at(tab.hoverAt).picture(pictureOf(tab.hover)).hidden();
  }
  // Read as laid out: the tiles, the tabs, then the title bar's pictures.
  for (const Tile& tile : kTiles) addItem(buttonItem(tile.word, tile.button));
  for (const TabPair& pair : kTabs)
    addItem({.name = pair.tab.word, .role = Role::PushButton, .parts = {pair.tab.normal, pair.tab.hover}});
  addItem({.name = "最小化", .role = Role::PushButton, .parts = {kMinimise}});
  addItem(closeItem());
}

// The arrows move the focus between the four tiles, laid out two by two.
bool FormMain::arrowKey(Key key) {
  const int focused = focusedItem();
  const int tiles = static_cast<int>(std::size(kTiles));
  if (focused < 0 || focused >= tiles) return false;
  const bool across = key == Key::Left || key == Key::Right;
  focusByKeyboard(across ? focused ^ 1 : focused ^ 2);
  return true;
}

void FormMain::Form_Load() { setUpSkin(*this, kRed); }

void FormMain::onSystemClose() { Image3_Click(); }

void FormMain::Form_MouseMove() {
  showControls(*this, {standard::kClose.normal});
  hideControls(*this, {standard::kClose.hover});
  for (const Tile& tile : kTiles) {
    c(tile.button.normal).setVisible(true);
    c(tile.button.pressed).setVisible(false);
  }
  for (const Tile& tile : kTiles) c(tile.button.hover).setVisible(false);
  showControls(*this, {kAboutTab.normal, kHelpTab.normal});
  hideControls(*this, {kAboutTab.hover, kHelpTab.hover});
  showControls(*this, {kPinnoteTab.normal, kTextToolTab.normal});
  hideControls(*this, {kPinnoteTab.hover, kTextToolTab.hover});
}

void FormMain::Picture1_MouseMove(const EventArgs& args) {
  showControls(*this, {standard::kClose.normal});
  hideControls(*this, {standard::kClose.hover});
  dragIfLeftAlone(*this, args.button);
}

void FormMain::Image1_Click() { setWindowState(1); }

void FormMain::Image3_Click() { runtime().endProgram(); }

void FormMain::FE2_Click() {
  services().messageBox.MsgBox("即将更新，敬请期待。", msgbox::kExclamation, "注意");
}

}  // namespace velmora
