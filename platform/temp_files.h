// The per-user private folder for temporary files, and unique files in it.
//
// The folder stands for the one Windows gives every user: it is
// $XDG_RUNTIME_DIR when that is set and is a folder of this user, otherwise
// "tessavo-<uid>" under $TMPDIR (or /tmp), created with mode 0700. A folder
// of that name that is a link or belongs to someone else is refused, because
// the check run uses fixed file names in it and a shared /tmp would let
// another user plant links there; the program then uses a folder
// "tessavo-<uid>-XXXXXX" of this user beside it, the first one there is, or
// a new one made with mkdtemp, chosen once per process. So every program
// uses the same one, and runs do not leave a new folder each. Safe to call
// from any thread.
#ifndef TESSAVO_PLATFORM_TEMP_FILES_H_
#define TESSAVO_PLATFORM_TEMP_FILES_H_

#include <string>

namespace platform {

// Why no private temporary folder could be had: the folder that could not
// be made, and an errno value.
struct TempFolderFailure {
  std::string folder;
  int error = 0;
};

// The private temporary folder, always ending with "/". Empty only when not
// even a new folder could be made; `failure` (may be null) then says which
// folder and why.
std::string tempFolder(TempFolderFailure* failure = nullptr);

// Creates a new, empty, uniquely named file in `folder` (which ends with
// "/") whose name begins with `prefix`, and returns its full path; the file
// stays, so the name stays reserved. Empty when no file could be created.
std::string createUniqueFile(const std::string& folder, const std::string& prefix);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_TEMP_FILES_H_
