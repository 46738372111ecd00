#include "shell/framework/Switches.h"

namespace velmora::switches {

void viaLoading(Form& main, Form& loading, Form& target) {
  main.hide();
  loading.show();
  main.unload();
  target.show();
  loading.hide();
}

void direct(Form& main, Form& target) {
  target.show();
  main.hide();
  main.unload();
}

void returnUnloadFirst(Form& page, Form& main) {
  page.hide();
  page.unload();
  main.show();
}

void returnShowFirst(Form& page, Form& main) {
  page.hide();
  main.show();
  page.unload();
}

void splashHandOver(Form& splash, Form& main) {
  main.show();
  splash.hide();
  splash.unload();
}

}  // namespace velmora::switches
