// Profiles kept in the Windows registry: the program's settings, where the
// window's wxConfig keeps them on Windows. settingsFilePath() names the key
// there ("HKEY_CURRENT_USER\Software\Marrowby\Tessavo"), and
// readProfileString() hands such a "path" here, so that every reader of a
// setting stays as it is. Sections are subkeys ("Settings"); a text value
// is read as it stands, a number (REG_DWORD, as wxConfig writes one) as its
// decimal text. Where there is no registry every path is a file. Any thread.
#ifndef TESSAVO_PLATFORM_REGISTRY_PROFILE_H_
#define TESSAVO_PLATFORM_REGISTRY_PROFILE_H_

#include <string>

namespace platform {

// False when `path` names no registry key. Otherwise true, with `*value`
// the value of `key` in the subkey `section`, or `defaultValue` when there
// is no such value.
bool readRegistryProfile(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& defaultValue,
                         std::string* value);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_REGISTRY_PROFILE_H_
