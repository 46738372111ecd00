// Prints every screen's controls and items as they stand when the screen
// opens, as JSON, for the end-to-end tests: the random run hit-tests its
// presses with the program's own layout instead of a copy of it, and knows
// the order of its items. One layout per Windows profile: "xp", and
// "later", where most tweak boxes are locked.
//
//   velmora_layout > layout.json
#include <cstdio>
#include <string>

#include "support/TestDesktop.h"

namespace velmora::testing {
namespace {

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
      continue;
    }
    out += c;
  }
  return out + "\"";
}

const char* kindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Image: return "image";
    case ControlKind::PictureBox: return "picturebox";
    case ControlKind::Label: return "label";
    case ControlKind::Frame: return "frame";
    case ControlKind::CheckBox: return "checkbox";
    case ControlKind::OptionButton: return "option";
    case ControlKind::TextBox: return "textbox";
    case ControlKind::Timer: return "timer";
  }
  return "?";
}

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

std::string controlJson(const Control& control) {
  const Rect r = control.formRect();
  std::string out = "{\"name\": " + quoted(control.name()) + ", \"kind\": \"" + kindName(control.kind()) + "\"";
  out += ", \"container\": " + (control.container() ? quoted(control.container()->name()) : std::string("null"));
  out += ", \"rect\": [" + number(r.left) + ", " + number(r.top) + ", " + number(r.width) + ", " +
         number(r.height) + "]";
  out += std::string(", \"visible\": ") + (control.Visible() ? "true" : "false");
  out += std::string(", \"enabled\": ") + (control.Enabled() ? "true" : "false");
  out += std::string(", \"windowed\": ") + (control.windowed() ? "true" : "false");
  out += std::string(", \"hand\": ") + (control.Cursor() == CursorShape::Hand ? "true" : "false");
  out += ", \"caption\": " + quoted(control.Caption());
  out += ", \"value\": " + std::to_string(control.Value());
  out += std::string(", \"multiline\": ") + (control.MultiLine() ? "true" : "false");
  return out + "}";
}

constexpr Screen kScreens[] = {Screen::FormMain, Screen::Form1, Screen::Form2, Screen::Form3,
                               Screen::Form4,    Screen::Form5, Screen::Form6, Screen::DLB};

std::string profileJson(const char* osVersion) {
  TestDesktop d;
  d.fake.osVersion.version = osVersion;
  d.startToMainWindow();
  std::string out = "{";
  bool firstScreen = true;
  for (Screen screen : kScreens) {
    Form& form = d.app.form(screen);
    form.load();
    out += std::string(firstScreen ? "" : ",") + "\n  " + quoted(form.name()) + ": {\"caption\": " +
           quoted(form.Caption()) + ", \"size\": [" + std::to_string(form.clientWidth()) + ", " +
           std::to_string(form.clientHeight()) + "], \"controls\": [";
    bool firstControl = true;
    for (const auto& control : form.controls()) {
      if (control->kind() == ControlKind::Timer) continue;
      out += std::string(firstControl ? "" : ",") + "\n    " + controlJson(*control);
      firstControl = false;
    }
    out += "], \"items\": [";
    static const char* kRoles[] = {"button", "link", "check", "radio", "text", "static", "graphic"};
    for (std::size_t i = 0; i < form.items().size(); ++i) {
      const Item& item = form.items()[i];
      std::string parts;
      for (const std::string& part : item.parts) parts += (parts.empty() ? "" : ", ") + quoted(part);
      out += std::string(i ? "," : "") + "\n    {\"name\": " + quoted(item.name) + ", \"role\": \"" +
             kRoles[static_cast<int>(item.role)] + "\", \"parts\": [" + parts + "], \"tabStop\": " +
             (item.tabStop ? "true" : "false") + ", \"setting\": " + (item.setting ? "true" : "false") +
             ", \"group\": " + quoted(item.group) + "}";
    }
    out += "], \"focus\": " + std::to_string(form.focusedItem()) + ", \"defaultItem\": " +
           quoted(form.defaultItem()) + ", \"escapeItem\": " + quoted(form.escapeItem()) + "}";
    firstScreen = false;
    if (screen != Screen::FormMain) form.unload();
  }
  return out + "}";
}

}  // namespace
}  // namespace velmora::testing

int main() {
  using velmora::testing::profileJson;
  std::printf("{\"xp\": %s,\n\"later\": %s}\n", profileJson("5.1.2600").c_str(), profileJson("6.1.7601").c_str());
  return 0;
}
