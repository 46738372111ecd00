#include "platform/RegistryData.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace velmora {

namespace {

std::string upper(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return text;
}

std::optional<RegRoot> rootNamed(const std::string& name) {
  struct Root {
    const char* full;
    const char* shortName;
    RegRoot root;
  };
  static constexpr Root kRoots[] = {
      {"HKEY_CLASSES_ROOT", "HKCR", RegRoot::ClassesRoot},
      {"HKEY_CURRENT_USER", "HKCU", RegRoot::CurrentUser},
      {"HKEY_LOCAL_MACHINE", "HKLM", RegRoot::LocalMachine},
      {"HKEY_USERS", "HKU", RegRoot::Users},
      {"HKEY_CURRENT_CONFIG", "HKCC", RegRoot::CurrentConfig},
  };
  const std::string wanted = upper(name);
  for (const Root& r : kRoots)
    if (wanted == r.full || wanted == r.shortName) return r.root;
  return std::nullopt;
}

std::uint32_t littleEndian32(const RegBytes& data) {
  return static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
         static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
}

std::string typeName(std::uint32_t type) {
  switch (type) {
    case regtype::kNone: return "REG_NONE";
    case regtype::kSz: return "REG_SZ";
    case regtype::kExpandSz: return "REG_EXPAND_SZ";
    case regtype::kBinary: return "REG_BINARY";
    case regtype::kDword: return "REG_DWORD";
    case regtype::kDwordBigEndian: return "REG_DWORD_BIG_ENDIAN";
    case regtype::kMultiSz: return "REG_MULTI_SZ";
    case regtype::kQword: return "REG_QWORD";
    default: return "REG_TYPE_" + std::to_string(type);
  }
}

std::string hexBytes(const RegBytes& data) {
  std::string text;
  text.reserve(data.size() * 3);
  for (std::uint8_t byte : data) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", byte);
    if (!text.empty()) text += ' ';
    text += pair;
  }
  return text;
}

// The strings of a REG_MULTI_SZ, one space between them.
std::string joinedStrings(const RegBytes& data) {
  std::string joined;
  RegBytes current;
  auto flush = [&] {
    if (current.empty()) return;
    if (!joined.empty()) joined += ' ';
    joined += utf16leToUtf8(current);
    current.clear();
  };
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    if (data[i] == 0 && data[i + 1] == 0) {
      flush();
    } else {
      current.push_back(data[i]);
      current.push_back(data[i + 1]);
    }
  }
  flush();
  return joined;
}

void appendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void appendUtf16(RegBytes& out, std::uint32_t unit) {
  out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
  out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

std::optional<std::int64_t> wholeNumber(const RegValue& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value)) return *number;
  if (const auto* text = std::get_if<std::string>(&value)) {
    const auto number = numberInText(*text);
    if (number && std::trunc(*number) == *number && std::fabs(*number) < 1e18)
      return static_cast<std::int64_t>(*number);
  }
  return std::nullopt;
}

std::string textOf(const RegValue& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  return std::get<RegOtherValue>(value).text;
}

}  // namespace

std::optional<RegPath> parseRegPath(const std::string& path) {
  const auto firstSlash = path.find('\\');
  if (firstSlash == std::string::npos) return std::nullopt;
  const auto root = rootNamed(path.substr(0, firstSlash));
  if (!root) return std::nullopt;
  const std::string rest = path.substr(firstSlash + 1);
  const auto lastSlash = rest.rfind('\\');
  RegPath parsed;
  parsed.root = *root;
  if (lastSlash == std::string::npos) {
    parsed.valueName = rest;
  } else {
    parsed.key = rest.substr(0, lastSlash);
    parsed.valueName = rest.substr(lastSlash + 1);
  }
  return parsed;
}

RegValue decodeRegValue(std::uint32_t type, const RegBytes& data) {
  switch (type) {
    case regtype::kSz:
    case regtype::kExpandSz:
      return utf16leToUtf8(data);
    case regtype::kDword:
      if (data.size() == 4) return static_cast<std::int64_t>(littleEndian32(data));
      break;
    case regtype::kDwordBigEndian:
      if (data.size() == 4) return static_cast<std::int64_t>(littleEndian32({data[3], data[2], data[1], data[0]}));
      break;
    case regtype::kQword:
      if (data.size() == 8) {
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i) bits = bits << 8 | data[static_cast<std::size_t>(i)];
        return static_cast<std::int64_t>(bits);
      }
      break;
    case regtype::kMultiSz:
      return RegOtherValue{typeName(type), joinedStrings(data)};
    default:
      break;
  }
  return RegOtherValue{typeName(type), hexBytes(data)};
}

std::optional<RegData> encodeRegValue(const RegValue& value, const std::string& requestedType) {
  const std::string type = upper(requestedType);
  if (type == "REG_SZ" || type == "REG_EXPAND_SZ") {
    RegData data{type == "REG_SZ" ? regtype::kSz : regtype::kExpandSz, utf8ToUtf16le(textOf(value))};
    appendUtf16(data.bytes, 0);
    return data;
  }
  if (type == "REG_DWORD") {
    const auto number = wholeNumber(value);
    if (!number || *number < INT32_MIN || *number > static_cast<std::int64_t>(UINT32_MAX)) return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(*number);
    return RegData{regtype::kDword,
                   {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                    static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)}};
  }
  return std::nullopt;
}

std::optional<double> numberInText(const std::string& text) {
  std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return std::nullopt;
  const std::size_t end = text.find_last_not_of(" \t") + 1;
  const std::string number = text.substr(begin, end - begin);
  // Checked by hand first: strtod would also take "inf", "nan" and hex.
  std::size_t i = 0;
  auto digits = [&] {
    const std::size_t start = i;
    while (i < number.size() && std::isdigit(static_cast<unsigned char>(number[i]))) ++i;
    return i - start;
  };
  if (number[i] == '+' || number[i] == '-') ++i;
  std::size_t mantissa = digits();
  if (i < number.size() && number[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return std::nullopt;
  if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
    ++i;
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
    if (digits() == 0) return std::nullopt;
  }
  if (i != number.size()) return std::nullopt;
  const double value = std::strtod(number.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::string utf16leToUtf8(const RegBytes& data) {
  std::string text;
  text.reserve(data.size());
  const std::size_t units = data.size() / 2;
  auto unit = [&](std::size_t k) { return static_cast<std::uint32_t>(data[2 * k] | data[2 * k + 1] << 8); };
  for (std::size_t k = 0; k < units; ++k) {
    std::uint32_t code = unit(k);
    if (code == 0) break;  // the string ends at its terminator, if any
    if (code >= 0xD800 && code <= 0xDBFF && k + 1 < units && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (unit(k + 1) - 0xDC00);
      ++k;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    appendUtf8(text, code);
  }
  return text;
}

RegBytes utf8ToUtf16le(const std::string& text) {
  RegBytes out;
  out.reserve(text.size() * 2);
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    std::uint32_t code = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
    bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      valid = (next & 0xC0) == 0x80;
      code = code << 6 | (next & 0x3F);
    }
    if (!valid) {
      code = 0xFFFD;
      extra = 0;
    }
    i += static_cast<std::size_t>(extra) + 1;
    if (code >= 0x10000) {
      code -= 0x10000;
      appendUtf16(out, 0xD800 + (code >> 10));
      appendUtf16(out, 0xDC00 + (code & 0x3FF));
    } else {
      appendUtf16(out, code);
    }
  }
  return out;
}

}  // namespace velmora
