#include "platform/registry.h"

#include <algorithm>
#include <cctype>
#include <cwchar>
#include <fstream>

#include "base/text.h"
#include "platform/wine_prefix.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tarn {
namespace {

std::string_view WithoutLeadingBackslashes(std::string_view keyPath) {
  while (keyPath.starts_with('\\')) keyPath.remove_prefix(1);
  return keyPath;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads Wine's escaped text from the start of `text` up to an unescaped `terminator`, and drops
// what was read, terminator included. Escapes: \\ \" \] and the other C escapes, \x with up to four
// hex digits of a UTF-16 unit, octal with up to three digits. Nothing when the text ends first.
std::optional<std::string> TakeEscaped(std::string_view& text, char terminator) {
  std::string out;
  char16_t highSurrogate = 0;
  auto putUnit = [&](char32_t unit) {
    if (unit >= 0xD800 && unit < 0xDC00) {
      highSurrogate = static_cast<char16_t>(unit);
      return;
    }
    if (highSurrogate != 0 && unit >= 0xDC00 && unit < 0xE000) {
      unit = 0x10000 + ((highSurrogate - 0xD800) << 10) + (unit - 0xDC00);
    }
    highSurrogate = 0;
    AppendUtf8(out, unit);
  };
  size_t i = 0;
  while (i < text.size() && text[i] != terminator) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      highSurrogate = 0;
      out += text[i++];
      continue;
    }
    const char c = text[i + 1];
    i += 2;
    static constexpr std::string_view kNamed = "abefnrtv";
    static constexpr std::string_view kCodes = "\a\b\x1B\f\n\r\t\v";
    if (const size_t named = kNamed.find(c); named != std::string_view::npos) {
      putUnit(static_cast<unsigned char>(kCodes[named]));
    } else if (c == 'x' && i < text.size() && HexDigit(text[i]) >= 0) {
      char32_t unit = 0;
      for (int n = 0; n < 4 && i < text.size() && HexDigit(text[i]) >= 0; ++n) {
        unit = unit * 16 + static_cast<char32_t>(HexDigit(text[i++]));
      }
      putUnit(unit);
    } else if (c >= '0' && c <= '7') {
      char32_t unit = static_cast<char32_t>(c - '0');
      for (int n = 1; n < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7'; ++n) {
        unit = unit * 8 + static_cast<char32_t>(text[i++] - '0');
      }
      putUnit(unit);
    } else {
      putUnit(static_cast<unsigned char>(c));
    }
  }
  if (i == text.size()) return std::nullopt;
  text.remove_prefix(i + 1);
  return out;
}

// The string of a value line `"name"="text"` (or `str(2):"text"`, an expandable string) when its
// name is `valueName`: "" for a value of another type, nothing for a line of another value.
std::optional<std::string> StringOfValueLine(std::string_view line, std::string_view valueName) {
  std::optional<std::string> name;
  if (line.starts_with('@')) {
    name = "";
    line.remove_prefix(1);
  } else if (line.starts_with('"')) {
    line.remove_prefix(1);
    name = TakeEscaped(line, '"');
  }
  if (!name || !EqualsIgnoringCase(*name, valueName) || !line.starts_with('=')) return std::nullopt;
  line.remove_prefix(1);
  if (line.starts_with("str(2):")) line.remove_prefix(7);
  if (!line.starts_with('"')) return std::string();
  line.remove_prefix(1);
  return TakeEscaped(line, '"').value_or(std::string());
}

bool IsKeyOrItsSubkey(std::string_view section, std::string_view key) {
  return EqualsIgnoringCase(section.substr(0, key.size()), key) &&
         (section.size() == key.size() || section[key.size()] == '\\');
}

}  // namespace

WineRegistry::WineRegistry(std::filesystem::path prefix) : prefix_(std::move(prefix)) {}

std::optional<std::string> WineRegistry::ReadLocalMachineString(std::string_view keyPath,
                                                                std::string_view valueName) const {
  if (prefix_.empty()) return std::nullopt;
  std::ifstream in(prefix_ / "system.reg", std::ios::binary);
  if (!in) return std::nullopt;

  const std::string_view key = WithoutLeadingBackslashes(keyPath);
  bool keyExists = false;
  bool inKey = false;
  std::optional<std::string> value;
  std::string line;
  while (std::getline(in, line)) {
    std::string_view text = TrimBlanks(line);
    if (text.starts_with('[')) {
      text.remove_prefix(1);
      const std::optional<std::string> section = TakeEscaped(text, ']');
      inKey = section && EqualsIgnoringCase(*section, key);
      keyExists = keyExists || (section && IsKeyOrItsSubkey(*section, key));
    } else if (inKey && !value) {
      value = StringOfValueLine(text, valueName);
    }
  }
  if (!keyExists) return std::nullopt;
  return value ? WindowsPathInPrefix(*value) : std::string();
}

std::string WineRegistry::WindowsPathInPrefix(const std::string& value) const {
  const bool drivePath = value.size() >= 2 && value[1] == ':' &&
                         std::isalpha(static_cast<unsigned char>(value[0])) &&
                         (value.size() == 2 || value[2] == '\\' || value[2] == '/');
  if (!drivePath) return value;
  const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(value[0])));
  const std::filesystem::path driveFolder =
      drive == 'c' ? prefix_ / "drive_c" : prefix_ / "dosdevices" / std::string{drive, ':'};
  std::string rest = value.substr(2);
  std::replace(rest.begin(), rest.end(), '\\', '/');
  return driveFolder.string() + rest;
}

#ifdef _WIN32
namespace {

std::wstring Widen(std::string_view text) {
  if (text.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length,
                      nullptr, nullptr);
  return narrow;
}

}  // namespace

std::optional<std::string> WindowsRegistry::ReadLocalMachineString(
    std::string_view keyPath, std::string_view valueName) const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(WithoutLeadingBackslashes(keyPath)).c_str(), 0,
                    KEY_READ, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const std::wstring name = Widen(valueName);
  std::string result;
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &bytes) == ERROR_SUCCESS) {
      buffer.resize(wcsnlen(buffer.c_str(), bytes / sizeof(wchar_t)));
      result = Narrow(buffer);
    }
  }
  RegCloseKey(key);
  return result;
}

std::unique_ptr<Registry> MakeSystemRegistry(const Environment&) {
  return std::make_unique<WindowsRegistry>();
}
#else
std::unique_ptr<Registry> MakeSystemRegistry(const Environment& env) {
  return std::make_unique<WineRegistry>(WinePrefix(env).value_or(std::filesystem::path()));
}
#endif

}  // namespace tarn
