#pragma once
// The Windows program: the real services, the program over them, and the
// message loop.
#include <windows.h>

#include <functional>

#include "shell/framework/Services.h"

namespace velmora::win32 {

// Puts other services in front of the real ones (the benchmark's trace build
// times each call this way); the returned services must outlive the run.
using ServiceAdapter = std::function<Services(const Services&)>;

// Runs Velmora until it ends; the exit code of the process.
int run(HINSTANCE instance, const ServiceAdapter& adapt = {});

}  // namespace velmora::win32
