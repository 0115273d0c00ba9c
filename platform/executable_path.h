// The full path of the running program, as the process was started from it,
// and the folder of the program's own data beside it.
//
// Installed (`cmake --install`, the Debian package), the programs lie in
// PREFIX/bin and their data (the validator's catalog, the help page) in
// PREFIX/share/tessavo/. In the build tree the data lies beside the
// programs in build/bin/. The data folder is found from the program's own
// location, so an installed tree can be moved, and a build tree runs
// without installing. Any thread.
#ifndef TESSAVO_PLATFORM_EXECUTABLE_PATH_H_
#define TESSAVO_PLATFORM_EXECUTABLE_PATH_H_

#include <string>

namespace platform {

// The path of the running executable (/proc/self/exe, links resolved); empty
// when it cannot be read.
std::string executablePath();

// The data folder for the program at `executable`, ending with "/":
// "../share/tessavo/" from the program's folder when that folder exists,
// else the program's own folder. Empty for an empty path.
std::string dataFolderFor(const std::string& executable);

// dataFolderFor(executablePath()).
std::string programDataFolder();

// Whether the running program is an installed one (its data folder is
// PREFIX/share/tessavo/), not a program in a build tree.
bool isInstalledProgram();

}  // namespace platform

#endif  // TESSAVO_PLATFORM_EXECUTABLE_PATH_H_
