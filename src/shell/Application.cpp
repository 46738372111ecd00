#include "shell/Application.h"

#include "companion/DLB.h"
#include "info/Form5.h"
#include "info/Form6.h"
#include "shell/Form4.h"
#include "shell/FormLoad.h"
#include "shell/FormMain.h"
#include "shell/Loading.h"
#include "tweaks/Form1.h"
#include "tweaks/Form2.h"
#include "tweaks/Form3.h"

namespace velmora {

namespace {

// Unwinds the rest of a handler once the program has ended.
struct ProgramEnded {};

std::unique_ptr<Form> makePage(Application& app, Screen screen) {
  switch (screen) {
    case Screen::FormLoad: return std::make_unique<FormLoad>(app);
    case Screen::FormMain: return std::make_unique<FormMain>(app);
    case Screen::Loading: return std::make_unique<Loading>(app);
    case Screen::Form1: return std::make_unique<Form1>(app);
    case Screen::Form2: return std::make_unique<Form2>(app);
    case Screen::Form3: return std::make_unique<Form3>(app);
    case Screen::Form4: return std::make_unique<Form4>(app);
    case Screen::Form5: return std::make_unique<Form5>(app);
    case Screen::Form6: return std::make_unique<Form6>(app);
    case Screen::DLB: return std::make_unique<DLB>(app);
  }
  return nullptr;
}

}  // namespace

Application::Application(Platform& platform) : platform_(platform) {}

Application::~Application() = default;

Form& Application::form(Screen screen) {
  auto& page = pages_[static_cast<std::size_t>(screen)];
  if (!page) page = makePage(*this, screen);
  return *page;
}

void Application::start() {
  guard([&] { form(Screen::FormLoad).show(); });
}

void Application::switchViaLoading(Screen target) {
  Form& main = form(Screen::FormMain);
  Form& loading = form(Screen::Loading);
  main.hide();
  loading.show();
  main.unload();
  form(target).show();
  loading.hide();
}

void Application::directSwitch(Screen target) {
  Form& main = form(Screen::FormMain);
  form(target).show();
  main.hide();
  main.unload();
}

void Application::returnUnloadFirst(Form& page) {
  page.hide();
  page.unload();
  form(Screen::FormMain).show();
}

void Application::returnShowFirst(Form& page) {
  page.hide();
  form(Screen::FormMain).show();
  page.unload();
}

void Application::splashHandOver(Form& splash) {
  form(Screen::FormMain).show();
  splash.hide();
  splash.unload();
}

void Application::endProgram() {
  if (ended_) return;
  ended_ = true;
  closeEverything();
}

void Application::closeEverything() {
  for (auto& page : pages_)
    if (page) page->unload();
  platform_.windowing.EndProgram();
}

void Application::checkRunning() const {
  if (ended_) throw ProgramEnded{};
}

void Application::guard(const std::function<void()>& handler) {
  if (ended_) return;
  try {
    handler();
  } catch (const ProgramEnded&) {
  } catch (const PlatformFailure& failure) {
    if (ended_) return;
    // Stop first, so that no event delivered while the message is up runs
    // and nothing is written after the failure.
    ended_ = true;
    platform_.messageBox.MsgBox(std::string("Velmora 无法继续运行：") + failure.what() +
                                    "\r\n程序将退出。",
                                msgbox::kCritical, "错误");
    closeEverything();
  }
}

}  // namespace velmora
