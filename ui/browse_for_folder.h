// The folder dialog: asks for one existing folder.
#ifndef TESSAVO_UI_BROWSE_FOR_FOLDER_H_
#define TESSAVO_UI_BROWSE_FOR_FOLDER_H_

#include <string>

class wxWindow;

// Shows the folder dialog over `owner` with `title`, starting in `initial`
// when that is not empty. Returns the chosen folder's path ending with "/",
// or an empty string on cancel.
std::string BrowseForFolder(wxWindow* owner, const std::string& title, const std::string& initial);

#endif  // TESSAVO_UI_BROWSE_FOR_FOLDER_H_
