#include "platform/dtd_folders.h"

namespace platform {

std::vector<std::string> dtdFolders() {
  // The folders the build wrote into the catalogs (platform/catalog.in).
  return {TESSAVO_SGML_DATA_DIR "/html", TESSAVO_W3C_DTD_DIR};
}

}  // namespace platform
