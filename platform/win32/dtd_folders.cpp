#include "platform/dtd_folders.h"

#include "platform/executable_path.h"

namespace platform {

// The Windows programs carry the DTDs beside their catalogs (sgml\html and
// xml in the data folder).
std::vector<std::string> dtdFolders() {
  const std::string data = programDataFolder();
  return {data + "sgml\\html", data + "xml"};
}

}  // namespace platform
