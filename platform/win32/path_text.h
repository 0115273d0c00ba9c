// Separators in Windows paths, found character by character in the ANSI
// code page, so that the trail byte 0x5C of a double-byte character
// ("表" is 0x95 0x5C under CP932) is never taken for a "\". Both "\" and
// "/" separate. Internal to platform/win32/.
#ifndef TESSAVO_PLATFORM_WIN32_PATH_TEXT_H_
#define TESSAVO_PLATFORM_WIN32_PATH_TEXT_H_

#include <string>

#include "platform/code_page.h"

namespace platform {

inline bool isSeparator(char c) {
  return c == '\\' || c == '/';
}

// The position of the last separator, or npos.
inline std::string::size_type lastSeparator(const std::string& path) {
  std::string::size_type last = std::string::npos;
  for (const char* at = path.c_str(); *at != '\0'; at = CharNextA(at)) {
    if (isSeparator(*at)) last = static_cast<std::string::size_type>(at - path.c_str());
  }
  return last;
}

// True when the last character of `path` is a separator.
inline bool endsWithSeparator(const std::string& path) {
  return !path.empty() && lastSeparator(path) == path.size() - 1;
}

// `folder` with a separator at its end.
inline std::string withSeparator(std::string folder) {
  if (!endsWithSeparator(folder)) folder.push_back('\\');
  return folder;
}

}  // namespace platform

#endif  // TESSAVO_PLATFORM_WIN32_PATH_TEXT_H_
