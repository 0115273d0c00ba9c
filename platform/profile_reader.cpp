#include "platform/profile_reader.h"

#include <sstream>

#include "platform/ascii_blank.h"
#include "platform/ascii_case.h"
#include "platform/file_handle.h"
#include "platform/registry_profile.h"

namespace platform {
namespace {

// A name as wxFileConfig writes it, with every "\x" made "x".
std::string unescapedName(const std::string& name) {
  std::string result;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 1 < name.size()) ++i;
    result.push_back(name[i]);
  }
  return result;
}

// The position of the first "=" that is not escaped by a backslash.
std::size_t wxEqualsSign(const std::string& line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\') {
      ++i;
    } else if (line[i] == '=') {
      return i;
    }
  }
  return std::string::npos;
}

std::string wxValue(const std::string& raw) {
  std::string result;
  const bool quoted = !raw.empty() && raw[0] == '"';
  for (std::size_t i = quoted ? 1 : 0; i < raw.size(); ++i) {
    if (raw[i] == '\\' && i + 1 < raw.size()) {
      switch (raw[++i]) {
        case 'n':
          result.push_back('\n');
          break;
        case 'r':
          result.push_back('\r');
          break;
        case 't':
          result.push_back('\t');
          break;
        case '\\':
          result.push_back('\\');
          break;
        case '"':
          result.push_back('"');
          break;
        default:
          break;  // wxFileConfig drops unknown escapes
      }
    } else if (raw[i] != '"' || !quoted) {
      result.push_back(raw[i]);
    }
  }
  return result;
}

std::string windowsValue(const std::string& raw) {
  if (raw.size() >= 2 && (raw[0] == '"' || raw[0] == '\'') && raw.back() == raw[0]) {
    return raw.substr(1, raw.size() - 2);
  }
  return raw;
}

}  // namespace

std::string readProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& defaultValue,
                              ProfileDialect dialect) {
  std::string registryValue;
  if (readRegistryProfile(path, section, key, defaultValue, &registryValue)) return registryValue;
  std::string text;
  int error = 0;
  if (!readRegularFile(path, kProfileFileLimit, &text, &error)) return defaultValue;
  return profileValue(text, section, key, dialect).value_or(defaultValue);
}

std::optional<std::string> profileValue(const std::string& contents, const std::string& section,
                                        const std::string& key, ProfileDialect dialect) {
  std::istringstream file(contents);
  const bool wx = dialect == ProfileDialect::WxFileConfig;
  bool inSection = false;
  bool firstLine = true;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (firstLine && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    firstLine = false;
    const std::string text = trimmedOfBlanks(line);
    if (text.empty() || text[0] == ';' || text[0] == '#') continue;
    if (text[0] == '[') {
      const std::size_t close = text.find(']');
      std::string name = trimmedOfBlanks(text.substr(1, close == std::string::npos ? close : close - 1));
      if (wx) name = unescapedName(name);
      inSection = equalsIgnoringAsciiCase(name, section);
      continue;
    }
    if (!inSection) continue;
    const std::size_t equals = wx ? wxEqualsSign(text) : text.find('=');
    if (equals == std::string::npos) continue;
    std::string name = trimmedOfBlanks(text.substr(0, equals));
    if (wx) name = unescapedName(name);
    if (!equalsIgnoringAsciiCase(name, key)) continue;
    const std::string raw = trimmedOfBlanks(text.substr(equals + 1));
    return wx ? wxValue(raw) : windowsValue(raw);
  }
  return std::nullopt;
}

}  // namespace platform
