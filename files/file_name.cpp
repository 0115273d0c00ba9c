#include "files/file_name.h"

#include <cstring>

#include "platform/ascii_case.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

using platform::CharNextA;
using platform::IsDBCSLeadByte;

namespace {

bool isSeparator(char c) {
  return c == '/' || c == '\\';
}

bool isAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

FileName::FileName(const char* path) {
  parse(path);
}

FileName::FileName(const std::string& path) {
  parse(path.c_str());
}

void FileName::parse(const char* path) {
  const char* scan = path;

  if (isSeparator(scan[0]) && isSeparator(scan[1])) {
    // UNC prefix: the server name runs to the next separator. A lead byte
    // takes its second byte along, whatever that byte is.
    scan += 2;
    while (*scan != '\0' && !isSeparator(*scan)) {
      if (IsDBCSLeadByte(static_cast<unsigned char>(*scan))) {
        if (scan[1] == '\0') {
          ++scan;
          break;
        }
        host_.append(scan, 2);
        scan += 2;
      } else {
        host_.push_back(*scan++);
      }
    }
  }

  // "/C:/dir/file.htm", the path of a file URI, is read as "C:/dir/file.htm".
  if (scan[0] == '/' && isAsciiLetter(scan[1]) && scan[2] == ':') ++scan;

  const char* lastSeparator = nullptr;
  for (const char* p = scan; *p != '\0'; p = CharNextA(p)) {
    if (isSeparator(*p)) lastSeparator = p;
  }
  if (lastSeparator != nullptr) {
    directory_.assign(scan, lastSeparator + 1);
    name_.assign(lastSeparator + 1);
  } else {
    name_.assign(scan);
  }

  if (name_ == "." || name_ == "..") {
    directory_ += name_ + "/";
    name_.clear();
  }

  for (char* p = &directory_[0]; *p != '\0'; p = CharNextA(p)) {
    if (*p == '\\') *p = '/';
  }
}

std::string FileName::extension(bool lowerCase) const {
  const char* lastDot = nullptr;
  for (const char* p = name_.c_str(); *p != '\0'; p = CharNextA(p)) {
    if (*p == '.') lastDot = p;
  }
  if (lastDot == nullptr) return std::string();
  const std::string result(lastDot + 1);
  return lowerCase ? platform::toLowerAscii(result) : result;
}

bool isDirectory(const char* path) {
  return path != nullptr && platform::isExistingDirectory(path);
}
