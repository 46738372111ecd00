#include "tweaks/SaveReport.h"

#include "shell/framework/Skin.h"

namespace velmora {

namespace {

std::string reasonFor(const RegError& error) {
  switch (error.kind) {
    case RegError::Kind::AccessDenied:
      return "系统拒绝访问，可能需要以管理员身份运行本程序";
    case RegError::Kind::NotFound:
      return "找不到注册表项";
    case RegError::Kind::Other:
      break;
  }
  return error.detail.empty() ? "写入注册表时出错" : "写入注册表时出错（" + error.detail + "）";
}

}  // namespace

bool SaveReport::write(const std::string& setting, RegistryShell& registry, const Action& action) {
  const std::unique_ptr<RegistryShellObject> shell = registry.CreateObject();
  if (!shell) {
    failures_.emplace_back(setting, "无法创建注册表访问对象");
    return false;
  }
  const RegResult<bool> result = action(*shell);
  if (!result.ok()) {
    failures_.emplace_back(setting, reasonFor(result.error));
    return false;
  }
  ++written_;
  return true;
}

std::string SaveReport::message() const {
  std::string text = "以下设置未能保存：\r\n";
  for (const auto& [setting, why] : failures_) text += setting + "：" + why + "。\r\n";
  text += "\r\n";
  if (written_ > 0) text += "其余设置已经保存。";
  text += "未能保存的设置仍保留您的选择，您可以稍后再次保存。";
  return text;
}

bool SaveReport::finish(Form& page) const {
  if (allWritten()) return true;
  page.services().messageBox.MsgBox(message(), msgbox::kExclamation, "注意");
  // The page may have been closed from the taskbar while the warning was up.
  if (!page.loaded()) return false;
  showControls(page, {standard::kSave.normal});
  hideControls(page, {standard::kSave.hover, standard::kSave.pressed});
  return false;
}

}  // namespace velmora
