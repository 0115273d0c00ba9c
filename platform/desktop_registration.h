// Registers the working-set document type (".tvx") with the desktop for the
// current user: a shared-mime-info package that gives "*.tvx" its own type,
// and a desktop entry that opens such files with this program.
//
// Both files lie under the user's data folder ($XDG_DATA_HOME, else
// ~/.local/share): applications/tessavo.desktop and
// mime/packages/tessavo.xml. The entry names the icon "tessavo" of the icon
// theme; given the icon's SVG text, the registration also puts it there
// (icons/hicolor/scalable/apps/tessavo.svg), so that a program run from
// where it was built shows its icon too. Registration runs at every start, so it writes
// a file only when its content differs from what is there, and runs the
// desktop's cache updaters (update-mime-database, update-desktop-database,
// when installed) only after a change. Nothing is reported: a desktop that
// cannot be told leaves the program working as before.
#ifndef TESSAVO_PLATFORM_DESKTOP_REGISTRATION_H_
#define TESSAVO_PLATFORM_DESKTOP_REGISTRATION_H_

#include <string>

namespace platform {

// The MIME type given to working-set files.
extern const char kWorkingSetMimeType[];

// The user's data folder, without a trailing "/".
std::string desktopDataFolder();

// The desktop entry that opens a file with `executable`. The installed
// program's entry (data/tessavo.desktop) is this text for "tessavo", with
// the program named bare on its Exec line.
std::string desktopEntryText(const std::string& executable);
// The shared-mime-info package for "*.tvx", as data/tessavo.xml installs it.
std::string mimePackageText();

// The icon's name in the icon theme.
extern const char kIconName[];

// Writes what differs and runs the updaters after a change. Returns the
// number of files written (0 when all was in place), or -1 when a file could
// not be written. An empty `iconSvg` writes no icon.
int registerDocumentType(const std::string& executable, const std::string& iconSvg = "");

}  // namespace platform

#endif  // TESSAVO_PLATFORM_DESKTOP_REGISTRATION_H_
