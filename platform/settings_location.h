// Where the per-user profile "Marrowby"/"Tessavo" lives on this platform.
//
// The window reads and writes it through wxFileConfig; the headless checker
// reads "SP Location" from it with the INI reader. Both must agree, so the
// path is decided here only: $XDG_CONFIG_HOME/Marrowby/Tessavo.conf, with
// $HOME/.config standing in for an unset or relative XDG_CONFIG_HOME (tests
// point XDG_CONFIG_HOME at a temporary folder). Sections are the profile's
// groups ("Settings", "Recent File List"). On Windows the profile is the
// registry key HKEY_CURRENT_USER\Software\Marrowby\Tessavo, where wxConfig
// keeps it, and the path names that key (platform/registry_profile.h).
#ifndef TESSAVO_PLATFORM_SETTINGS_LOCATION_H_
#define TESSAVO_PLATFORM_SETTINGS_LOCATION_H_

#include <string>

namespace platform {

// The profile file's full path; the file and its folder may not exist yet.
std::string settingsFilePath();

}  // namespace platform

#endif  // TESSAVO_PLATFORM_SETTINGS_LOCATION_H_
