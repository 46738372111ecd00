#pragma once
// The window kinds of the program, one page object each.
#include <cstddef>
#include <cstdint>

#include "shell/framework/Navigator.h"

namespace velmora {

enum class Screen : std::uint8_t { FormLoad, FormMain, Loading, Form1, Form2, Form3, Form4, Form5, Form6, DLB };
constexpr std::size_t kScreenCount = 10;

}  // namespace velmora
