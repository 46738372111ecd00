#include "info/Form5.h"

#include "shell/framework/Skin.h"

namespace velmora {

namespace {

const Font kYaHei = {"微软雅黑", 9};
const Font kYaHeiCaption = {"微软雅黑", 10.5};
const Font kSimSunCaption = {"宋体", 10.5};

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

}  // namespace

Form5::Form5(const FormContext& context) : Form(context, "Form5", "帮助", 581, 351) {
  setBackground(pictures::kPageBackground);
  on(kFormBackground, Event::MouseMove, [this](const EventArgs&) {
    if (c("Image2").Visible()) {
      hideControls(*this, {"Image2"});
      showControls(*this, {"Image1"});
    }
  });
  on(standard::kTitleBar, Event::MouseDown, dragOnLeftPress(*this));
  on("Picture1", Event::MouseMove, [this](const EventArgs&) {
    showControls(*this, {"Image1"});
    hideControls(*this, {"Image2"});
  });
  attachClosePair(*this, ClosePair{.normal = "Image1", .hover = "Image2"}, [this](const EventArgs&) { leave(); });
  on("Image3", Event::Click, [this](const EventArgs&) { leave(); });
}

void Form5::createControls() {
  Control& titleBar = addTitleBar(*this);
  addClosePair(*this, titleBar, ClosePair{.normal = "Image1", .hover = "Image2"});
  // The question frame is made after the usage frame so that it lies on top
  // where the two overlap; each text box runs past its frame and is cut off.
  Control& usage = add("Frame1", ControlKind::Frame)
                       .at(8, 40, 488, 129)
                       .caption("使用方法及原理")
                       .foreColor(kLightYellow)
                       .font(kYaHeiCaption);
  add("Text2", ControlKind::TextBox, &usage)
      .at(8, 24, 473, 113)
      .text(kUsageText)
      .foreColor(kWhite)
      .font(kYaHei)
      .readOnlyMultiLine()
      .noBorder();
  Control& questions = add("Frame2", ControlKind::Frame)
                           .at(8, 160, 489, 177)
                           .caption("常见问题")
                           .foreColor(kLightRed)
                           .font(kSimSunCaption);
  add("Text1", ControlKind::TextBox, &questions)
      .at(8, 16, 473, 177)
      .text(kQuestionsText)
      .foreColor(kWhite)
      .font(kYaHei)
      .readOnlyMultiLine()
      .noBorder();
  add("Image3", ControlKind::Image).at(497.33, 268, 62, 62).picture("form5/Image3").hand();
}

void Form5::Form_Load() {
  setUpSkin(*this, kRed);
  paintPageBlue(*this, {"Text2", "Text1", "Frame1", "Frame2"});
}

void Form5::leave() { navigator().returnShowFirst(*this); }

}  // namespace velmora
