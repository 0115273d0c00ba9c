// Reads one value from a private-profile (INI) file: the stand-in for
// GetPrivateProfileString, used for Internet shortcut files (section
// "InternetShortcut", value "URL") and, in the wxFileConfig dialect, for the
// program's own settings file.
//
// A file is lines of "[section]" and "key=value"; lines before the first
// section belong to none, lines starting with ";" or "#" are comments, and a
// line end may be LF or CR LF. Section and key names are compared without
// regard to ASCII letter case; the first match wins. Only a regular file is
// read, without ever waiting for it (a FIFO or device in its place counts
// as unreadable), and only its first kProfileFileLimit bytes. Safe to call
// from any thread; the file is read afresh on every call.
#ifndef TESSAVO_PLATFORM_PROFILE_READER_H_
#define TESSAVO_PLATFORM_PROFILE_READER_H_

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// Settings, desktop entries and shortcuts are a few kilobytes; the rest of a
// larger file is not read.
constexpr std::size_t kProfileFileLimit = 1024 * 1024;

enum class ProfileDialect {
  // Windows: names and values trimmed of blanks and tabs; a value enclosed in
  // a matching pair of double or single quotes loses them.
  Windows,
  // wxFileConfig: names may carry backslash escapes ("SP\ Location"); values
  // are trimmed, may be enclosed in double quotes (kept leading or trailing
  // blanks) and carry the escapes \\ \" \n \r \t.
  WxFileConfig,
};

// The value of `key` in `section` of the file at `path`, or `defaultValue`
// when the file cannot be read or holds no such value.
std::string readProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& defaultValue,
                              ProfileDialect dialect = ProfileDialect::Windows);

// The value of `key` in `section` of the text of a profile file already
// read; nothing when it holds no such value.
std::optional<std::string> profileValue(const std::string& contents, const std::string& section,
                                        const std::string& key,
                                        ProfileDialect dialect = ProfileDialect::Windows);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_PROFILE_READER_H_
