#include "platform/registry_profile.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace platform {
namespace {

const char kCurrentUser[] = "HKEY_CURRENT_USER\\";

}  // namespace

bool readRegistryProfile(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& defaultValue,
                         std::string* value) {
  if (path.compare(0, sizeof kCurrentUser - 1, kCurrentUser) != 0) return false;
  *value = defaultValue;
  const std::string subkey = path.substr(sizeof kCurrentUser - 1) + "\\" + section;
  DWORD type = 0;
  DWORD size = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, subkey.c_str(), key.c_str(), RRF_RT_REG_SZ | RRF_RT_REG_DWORD,
                   &type, nullptr, &size) != ERROR_SUCCESS) {
    return true;
  }
  std::vector<char> data(size + 1, '\0');
  if (RegGetValueA(HKEY_CURRENT_USER, subkey.c_str(), key.c_str(), RRF_RT_REG_SZ | RRF_RT_REG_DWORD,
                   &type, data.data(), &size) != ERROR_SUCCESS) {
    return true;
  }
  if (type == REG_DWORD) {
    DWORD number = 0;
    std::copy(data.begin(), data.begin() + sizeof number, reinterpret_cast<char*>(&number));
    // wxConfig writes a long as a DWORD: negative numbers come back as such.
    *value = std::to_string(static_cast<long>(static_cast<LONG>(number)));
  } else {
    *value = data.data();
  }
  return true;
}

}  // namespace platform
