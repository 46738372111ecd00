#pragma once
// The five screen switches, each a fixed order of hide, show and unload
// steps over the forms it is given. Showing a form that is not loaded
// loads it (and runs its load step) first.
#include "shell/framework/Form.h"

namespace velmora::switches {

// Hide the main window, show Loading, unload the main window, show the
// target (it loads while Loading is on screen), hide Loading.
void viaLoading(Form& main, Form& loading, Form& target);
// Show the target, hide the main window, unload it.
void direct(Form& main, Form& target);
// Hide the page, unload it, show the main window.
void returnUnloadFirst(Form& page, Form& main);
// Hide the page, show the main window, unload the page.
void returnShowFirst(Form& page, Form& main);
// Show the main window, hide the splash, unload it. The splash has stopped
// its timer before.
void splashHandOver(Form& splash, Form& main);

}  // namespace velmora::switches
