#include "tweaks/RegHolder.h"

#include "platform/RegistryData.h"

namespace velmora {

void readInto(RegHolder& holder, RegistryShellObject* shell, const std::string& path) {
  if (!shell) return;
  RegResult<RegValue> read = shell->RegRead(path);
  if (read.ok()) holder = std::move(*read.value);
}

bool equalsNumber(const RegHolder& holder, double number) {
  if (!holder) return false;
  if (const auto* stored = std::get_if<std::int64_t>(&*holder)) return static_cast<double>(*stored) == number;
  if (const auto* text = std::get_if<std::string>(&*holder)) return numberInText(*text) == number;
  return false;
}

bool equalsText(const RegHolder& holder, const std::string& text) {
  if (!holder || std::holds_alternative<RegOtherValue>(*holder)) return false;
  return holderText(holder) == text;
}

std::string holderText(const RegHolder& holder) {
  if (!holder) return {};
  if (const auto* stored = std::get_if<std::int64_t>(&*holder)) return std::to_string(*stored);
  if (const auto* text = std::get_if<std::string>(&*holder)) return *text;
  return std::get<RegOtherValue>(*holder).text;
}

}  // namespace velmora
