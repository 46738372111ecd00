// The registry's formats as the Windows registry access uses them: whole
// paths split into root, key and value name; raw data of every type read
// without a crash; values turned into the data a write stores.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/RegistryData.h"

namespace velmora {
namespace {

TEST(RegistryPath, RootKeyKeyAndValueNameComeApart) {
  struct Case {
    const char* path;
    std::optional<RegPath> parsed;
  };
  const std::vector<Case> cases = {
      {"HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics\\Shell Icon Size",
       RegPath{RegRoot::CurrentUser, "Control Panel\\Desktop\\WindowMetrics", "Shell Icon Size"}},
      {"HKEY_CLASSES_ROOT\\lnkfile\\IsShortcut", RegPath{RegRoot::ClassesRoot, "lnkfile", "IsShortcut"}},
      {"HKEY_LOCAL_MACHINE\\Software\\X\\V", RegPath{RegRoot::LocalMachine, "Software\\X", "V"}},
      {"HKCU\\Software\\X\\V", RegPath{RegRoot::CurrentUser, "Software\\X", "V"}},
      {"HKCR\\lnkfile\\IsShortcut", RegPath{RegRoot::ClassesRoot, "lnkfile", "IsShortcut"}},
      {"HKLM\\Software\\V", RegPath{RegRoot::LocalMachine, "Software", "V"}},
      {"hkey_current_user\\Software\\V", RegPath{RegRoot::CurrentUser, "Software", "V"}},
      {"HKEY_USERS\\.DEFAULT\\V", RegPath{RegRoot::Users, ".DEFAULT", "V"}},
      {"HKCU\\V", RegPath{RegRoot::CurrentUser, "", "V"}},
      // A trailing backslash names the key itself (its default value).
      {"HKCU\\Software\\X\\", RegPath{RegRoot::CurrentUser, "Software\\X", ""}},
      // Braces and dots belong to the value name.
      {"HKCU\\A\\NewStartPanel\\{645FF040-5081-101B-9F08-00AA002F954E}",
       RegPath{RegRoot::CurrentUser, "A\\NewStartPanel", "{645FF040-5081-101B-9F08-00AA002F954E}"}},
      {"HKEY_NOWHERE\\Software\\V", std::nullopt},
      {"HKEY_CURRENT_USER", std::nullopt},
      {"", std::nullopt},
      {"Software\\V", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(parseRegPath(c.path), c.parsed);
  }
}

RegBytes utf16(const std::u16string& text, bool terminated = true) {
  RegBytes bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  if (terminated) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

TEST(RegistryRead, EveryTypeAndSizeGivesAValue) {
  struct Case {
    const char* name;
    std::uint32_t type;
    RegBytes data;
    RegValue value;
  };
  const std::vector<Case> cases = {
      {"DWORD 1", regtype::kDword, {1, 0, 0, 0}, std::int64_t{1}},
      {"DWORD 48", regtype::kDword, {48, 0, 0, 0}, std::int64_t{48}},
      {"DWORD of all ones", regtype::kDword, {0xFF, 0xFF, 0xFF, 0xFF}, std::int64_t{0xFFFFFFFF}},
      {"DWORD of two bytes", regtype::kDword, {1, 0}, RegOtherValue{"REG_DWORD", "01 00"}},
      {"DWORD of no bytes", regtype::kDword, {}, RegOtherValue{"REG_DWORD", ""}},
      {"big-endian DWORD", regtype::kDwordBigEndian, {0, 0, 0, 1}, std::int64_t{1}},
      {"QWORD", regtype::kQword, {1, 0, 0, 0, 0, 0, 0, 0}, std::int64_t{1}},
      {"text", regtype::kSz, utf16(u"48"), std::string("48")},
      {"Chinese text", regtype::kSz, utf16(u"我的浏览器"), std::string("我的浏览器")},
      {"text beyond the basic plane", regtype::kSz, utf16(u"a\U0001F600b"), std::string("a\U0001F600b")},
      {"text without its terminator", regtype::kSz, utf16(u"IE", false), std::string("IE")},
      {"text of an odd byte count", regtype::kSz, {'I', 0, 'E'}, std::string("I")},
      {"text with a NUL inside", regtype::kSz, utf16(std::u16string(u"ab\0cd", 5)), std::string("ab")},
      {"empty text", regtype::kSz, utf16(u""), std::string()},
      {"no data at all", regtype::kSz, {}, std::string()},
      {"a lone surrogate", regtype::kSz, utf16(u"a\xD800"), std::string("a\xEF\xBF\xBD")},
      {"expandable text, not expanded", regtype::kExpandSz, utf16(u"%WINDIR%"), std::string("%WINDIR%")},
      {"multi-string", regtype::kMultiSz, utf16(std::u16string(u"48\0two\0\0", 8), false),
       RegOtherValue{"REG_MULTI_SZ", "48 two"}},
      {"binary", regtype::kBinary, {0x30, 0x00, 0xAB}, RegOtherValue{"REG_BINARY", "30 00 AB"}},
      {"no type", regtype::kNone, {1}, RegOtherValue{"REG_NONE", "01"}},
      {"unknown type", 99, {}, RegOtherValue{"REG_TYPE_99", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(decodeRegValue(c.type, c.data), c.value);
  }
}

TEST(RegistryRead, AHundredThousandCharacterTitleComesThroughWhole) {
  const std::u16string title(100000, u'标');
  std::string expected;
  for (int i = 0; i < 100000; ++i) expected += "标";
  EXPECT_EQ(decodeRegValue(regtype::kSz, utf16(title)), RegValue{expected});
}

TEST(RegistryWrite, EachTypeStoresTheDataWindowsExpects) {
  struct Case {
    const char* name;
    RegValue value;
    const char* type;
    std::optional<std::uint32_t> storedType;
    RegBytes bytes;
  };
  const std::vector<Case> cases = {
      {"text", std::string("48"), "REG_SZ", regtype::kSz, utf16(u"48")},
      {"empty text", std::string(), "REG_SZ", regtype::kSz, utf16(u"")},
      {"Chinese text", std::string("标题"), "REG_SZ", regtype::kSz, utf16(u"标题")},
      {"a number as text", std::int64_t{35}, "REG_SZ", regtype::kSz, utf16(u"35")},
      {"expandable text", std::string("%X%"), "REG_EXPAND_SZ", regtype::kExpandSz, utf16(u"%X%")},
      {"DWORD 1", std::int64_t{1}, "REG_DWORD", regtype::kDword, {1, 0, 0, 0}},
      {"DWORD 0", std::int64_t{0}, "REG_DWORD", regtype::kDword, {0, 0, 0, 0}},
      {"DWORD -1", std::int64_t{-1}, "REG_DWORD", regtype::kDword, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"DWORD from text", std::string("48"), "REG_DWORD", regtype::kDword, {48, 0, 0, 0}},
      {"type names in any case", std::int64_t{1}, "reg_dword", regtype::kDword, {1, 0, 0, 0}},
      {"DWORD from words", std::string("yes"), "REG_DWORD", std::nullopt, {}},
      {"DWORD from a fraction", std::string("1.5"), "REG_DWORD", std::nullopt, {}},
      {"DWORD too large", std::int64_t{0x100000000}, "REG_DWORD", std::nullopt, {}},
      {"unknown type", std::string("x"), "REG_WHATEVER", std::nullopt, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto data = encodeRegValue(c.value, c.type);
    ASSERT_EQ(data.has_value(), c.storedType.has_value());
    if (!data) continue;
    EXPECT_EQ(data->type, *c.storedType);
    EXPECT_EQ(data->bytes, c.bytes);
  }
}

TEST(RegistryWrite, WhatIsWrittenReadsBackTheSame) {
  for (const std::string& text : {std::string(""), std::string("Windows Internet Explorer"),
                                  std::string("桌面 \u3000图标"), std::string(30000, 'x')}) {
    const auto data = encodeRegValue(text, "REG_SZ");
    ASSERT_TRUE(data);
    EXPECT_EQ(decodeRegValue(data->type, data->bytes), RegValue{text});
  }
}

TEST(RegistryNumbers, TextReadsAsANumberOnlyWhenItIsOne) {
  struct Case {
    const char* text;
    std::optional<double> number;
  };
  const std::vector<Case> cases = {
      {"48", 48},     {" 48 ", 48},  {"\t1", 1},      {"48.0", 48},         {"+1", 1},
      {"-1", -1},     {"4.8e1", 48}, {".5", 0.5},     {"1.", 1},            {"", std::nullopt},
      {" ", std::nullopt},  {"48px", std::nullopt}, {"4 8", std::nullopt}, {"0x30", std::nullopt},
      {"inf", std::nullopt}, {"nan", std::nullopt}, {"1e", std::nullopt},  {".", std::nullopt},
      {"-", std::nullopt},  {"1e999", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(numberInText(c.text), c.number);
  }
}

}  // namespace
}  // namespace velmora
