#pragma once
// What a page reads a registry value into, and the tests it applies. A read
// that fails leaves the holder as it was: empty, or the marker the page put
// there to tell an absent value from a present one.
#include <optional>
#include <string>

#include "platform/RegistryShell.h"

namespace velmora {

using RegHolder = std::optional<RegValue>;

// shell may be missing (its creation failed): then the read fails too.
void readInto(RegHolder& holder, RegistryShellObject* shell, const std::string& path);

// A number equal to `number`, or text that reads as it ("48", " 48", "48.0").
bool equalsNumber(const RegHolder& holder, double number);
// Exact, case-sensitive; a number compares as its digits.
bool equalsText(const RegHolder& holder, const std::string& text);
// The holder as a text box shows it; empty for an empty holder.
std::string holderText(const RegHolder& holder);

}  // namespace velmora
