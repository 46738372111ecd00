#include "info/Form5.h"

#include "shell/framework/Skin.h"

namespace velmora {

namespace {

// The help page's own controls: its close pair is `Image1`/`Image2`, and
// `Image3` is the back picture.
constexpr ClosePair kClose{.normal = "Image1", .hover = "Image2"};
constexpr const char* kBackPicture = "Image3";

const Font kYaHei = {.face = "微软雅黑", .points = 9};

// The usage text: one paragraph, its sentences run together, ended by the
// CR LF that Windows edit boxes take as a line end.
constexpr const char* kUsageText =
    "您需要一个独特、华丽的Windows吗？"
    "Velmora是你最正确的选择。"
    "电脑变得绚丽多彩、与众不同，极富个人魅力。"
    "它拥有许多其它美化软件所没有的优势！"
    "功能强大，操作简单，使用方便，同时还具有详细的功能描述，即使您对于电脑操作是多么的"
    "\"菜鸟\""
    "，您都能够将很轻松地使用此款软件。"
    "您可以通过这款软件随意修改您的桌面图标，开始菜单，系统安全，浏览器自定义等众多非常实用的设置，轻松打造一个属于自己的Windows！"
    "\r\n";

constexpr const char* kQuestionsText =
    "Q 为什么有些设置没有效果？\r\n"
    "A 有些设置是无法立即生效的，需要您手动重新启动计算机才能生效。\r\n"
    "Q 为什么总是会被杀毒软件提示？\r\n"
    "A 因为本软件功能的实现主要是靠注册表的修改，被杀毒软件提示或拦截是正常现象，绝非恶意代码。\r\n"
    "Q 我觉得功能还不够多！\r\n"
    "A 您有什么需要的话可以和客服QQ留言交流，我们会在新版本中更新您所需要的功能，同时也欢迎您向我们提出好的建议，以便于我们做得更好。\r\n"
    "如果您还有更多的疑问，可以提问客服QQ。\r\n";

// A captioned frame holding one read-only text box without a border, which
// runs past the frame and is cut off by it.
struct TextFrame {
  const char* frame;
  Rect frameAt;
  const char* caption;
  Colour captionColour;
  Font captionFont;
  const char* box;
  Rect boxAt;
  const char* text;
};

const TextFrame kUsage{
    .frame = "Frame1",
    .frameAt = {8, 40, 488, 129},
    .caption = "使用方法及原理",
    .captionColour = kLightYellow,
    .captionFont = {.face = "微软雅黑", .points = 10.5},
    .box = "Text2",
    .boxAt = {8, 24, 473, 113},
    .text = kUsageText,
};
const TextFrame kQuestions{
    .frame = "Frame2",
    .frameAt = {8, 160, 489, 177},
    .caption = "常见问题",
    .captionColour = kLightRed,
    .captionFont = {.face = "宋体", .points = 10.5},
    .box = "Text1",
    .boxAt = {8, 16, 473, 177},
    .text = kQuestionsText,
};

void addTextFrame(Form& form, const TextFrame& t) {
  Control& frame = form.add(t.frame, ControlKind::Frame)
                       .at(t.frameAt)
                       .caption(t.caption)
                       .foreColor(t.captionColour)
                       .font(t.captionFont);
  form.add(t.box, ControlKind::TextBox, &frame)
      .at(t.boxAt)
      .text(t.text)
      .foreColor(kWhite)
      .font(kYaHei)
      .readOnlyMultiLine()
      .noBorder();
}

}  // namespace

Form5::Form5(const FormContext& context) : Form(context, "Form5", "帮助", 581, 351) {
  setBackground(pictures::kPageBackground);
  on(kFormBackground, Event::MouseMove, [this](const EventArgs&) {
    if (c(kClose.hover).Visible()) {
      hideControls(*this, {kClose.hover});
      showControls(*this, {kClose.normal});
    }
  });
  on(standard::kTitleBar, Event::MouseDown, dragOnLeftPress(*this));
  on(standard::kTitleBar, Event::MouseMove, [this](const EventArgs&) {
    showControls(*this, {kClose.normal});
    hideControls(*this, {kClose.hover});
  });
  attachClosePair(*this, kClose, [this](const EventArgs&) { leave(); });
  on(kBackPicture, Event::Click, [this](const EventArgs&) { leave(); });
}

void Form5::createControls() {
  Control& titleBar = addTitleBar(*this);
  addClosePair(*this, titleBar, kClose);
  // The question frame comes after the usage frame, so that it lies on top
  // where the two overlap.
  addTextFrame(*this, kUsage);
  addTextFrame(*this, kQuestions);
  add(kBackPicture, ControlKind::Image).at(497.33, 268, 62, 62).picture("form5/Image3").hand();
  // The texts are read (and scrolled) in the order they are shown.
  for (const TextFrame* text : {&kUsage, &kQuestions})
    addItem({.name = text->caption, .role = Role::EditableText, .parts = {text->box}});
  addItem({.name = kBackWord, .role = Role::PushButton, .parts = {kBackPicture}});
  addItem(closeItem(kClose));
  setEscapeItem(kBackWord);
}

void Form5::Form_Load() {
  setUpSkin(*this, kRed);
  paintPageBlue(*this, {kUsage.box, kQuestions.box, kUsage.frame, kQuestions.frame});
}

void Form5::leave() { navigator().returnShowFirst(*this); }

}  // namespace velmora
