#include "platform/registry_profile.h"

namespace platform {

bool readRegistryProfile(const std::string&, const std::string&, const std::string&,
                         const std::string&, std::string*) {
  return false;
}

}  // namespace platform
