#include "program/Program.h"

#include "companion/DLB.h"
#include "info/Form5.h"
#include "info/Form6.h"
#include "shell/Form4.h"
#include "shell/FormLoad.h"
#include "shell/FormMain.h"
#include "shell/framework/Loading.h"
#include "shell/framework/Switches.h"
#include "tweaks/Form1.h"
#include "tweaks/Form2.h"
#include "tweaks/Form3.h"

namespace velmora {

namespace {

std::unique_ptr<Form> makePage(const FormContext& context) {
  switch (context.kind) {
    case Screen::FormLoad: return std::make_unique<FormLoad>(context);
    case Screen::FormMain: return std::make_unique<FormMain>(context);
    case Screen::Loading: return std::make_unique<Loading>(context);
    case Screen::Form1: return std::make_unique<Form1>(context);
    case Screen::Form2: return std::make_unique<Form2>(context);
    case Screen::Form3: return std::make_unique<Form3>(context);
    case Screen::Form4: return std::make_unique<Form4>(context);
    case Screen::Form5: return std::make_unique<Form5>(context);
    case Screen::Form6: return std::make_unique<Form6>(context);
    case Screen::DLB: return std::make_unique<DLB>(context);
  }
  return nullptr;
}

}  // namespace

Program::Program(Services& services) : runtime_(services) {}

Program::~Program() = default;

Form& Program::form(Screen screen) {
  auto& page = pages_[static_cast<std::size_t>(screen)];
  if (!page) page = makePage(FormContext{.runtime = runtime_, .navigator = *this, .kind = screen});
  return *page;
}

void Program::start() {
  runtime_.guard([&] { form(Screen::FormLoad).show(); });
}

void Program::switchViaLoading(Screen target) {
  switches::viaLoading(form(Screen::FormMain), form(Screen::Loading), form(target));
}

void Program::directSwitch(Screen target) { switches::direct(form(Screen::FormMain), form(target)); }

void Program::returnUnloadFirst(Form& page) { switches::returnUnloadFirst(page, form(Screen::FormMain)); }

void Program::returnShowFirst(Form& page) { switches::returnShowFirst(page, form(Screen::FormMain)); }

void Program::splashHandOver(Form& splash) { switches::splashHandOver(splash, form(Screen::FormMain)); }

}  // namespace velmora
