// The folder scan: adds a folder's HTML files and Internet shortcuts, and
// those of every folder below it.
//
// Depth first: the entries of a folder are taken in the order the listing
// gives them (platform/directory_listing.h: by name, ASCII case ignored), and
// a subfolder is scanned completely, at once, before the next entry. Files
// whose lower-cased extension is "htm", "html", "shtml" or "url" go to
// AddFile (which turns a shortcut into its URI); others are skipped. A link
// is never followed into a folder; there is no depth limit and no test for
// duplicates. A folder that cannot be listed adds nothing.
#ifndef TESSAVO_FILES_FOLDER_SCAN_H_
#define TESSAVO_FILES_FOLDER_SCAN_H_

#include <string>

#include "files/target_sink.h"

// `folder` ends with "/"; every path handed to the sink is `folder`, the
// subfolder names with "/", and the file name joined.
void AddFolder(const std::string& folder, TargetSink& sink);

#endif  // TESSAVO_FILES_FOLDER_SCAN_H_
