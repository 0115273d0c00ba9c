#include "platform/settings_location.h"

namespace platform {

// The key wxConfig (wxRegConfig) uses for vendor "Marrowby" and application
// "Tessavo"; readProfileString() reads it as the registry.
std::string settingsFilePath() {
  return "HKEY_CURRENT_USER\\Software\\Marrowby\\Tessavo";
}

}  // namespace platform
