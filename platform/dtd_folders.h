// The folders of the document type definitions that the validator's
// catalogs name: the HTML DTDs and entity sets of Debian's sgml-data, and
// the XHTML DTDs and XML declaration of w3c-sgml-lib, as the build found
// them. A validator held to these folders (and the catalogs' own) still
// resolves every public identifier the catalogs know. Any thread.
#ifndef TESSAVO_PLATFORM_DTD_FOLDERS_H_
#define TESSAVO_PLATFORM_DTD_FOLDERS_H_

#include <string>
#include <vector>

namespace platform {

// Without a trailing "/" (the validator's -D would not match a name in
// the folder with one).
std::vector<std::string> dtdFolders();

}  // namespace platform

#endif  // TESSAVO_PLATFORM_DTD_FOLDERS_H_
