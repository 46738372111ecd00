// The Windows name from the version text: three characters decide.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/FakePlatform.h"
#include "tweaks/DetectOsName.h"

namespace velmora::testing {
namespace {

TEST(DetectOsName, TheFirstThreeCharactersOfTheVersionGiveTheName) {
  struct Case {
    std::optional<std::string> version;
    const char* name;
  };
  const std::vector<Case> cases = {
      {"5.1.2600", "Windows XP"},
      {"5.1", "Windows XP"},
      {"5.10", "Windows XP"},  // only three characters are compared
      {"5.2.3790", "Windows Server 2003"},
      {"5.0.2195", "Windows 2000"},
      {"6.0.6002", "windows visita"},
      {"6.1.7601", "i don't know"},
      {"10.0.19045", "i don't know"},
      {"5.", "i don't know"},
      {"5", "i don't know"},
      {" 5.1", "i don't know"},
      {"", "i don't know"},
      {std::nullopt, "i don't know"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version.value_or("(none)"));
    FakeOsVersion os;
    os.version = c.version;
    EXPECT_EQ(DetectOsName(os), c.name);
  }
}

}  // namespace
}  // namespace velmora::testing
