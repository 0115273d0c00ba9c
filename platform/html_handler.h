// Whether the desktop opens HTML files in a web browser.
//
// The desktop's "open" hands a file to the application associated with its
// type. For HTML that is usually a web browser, but a machine without one
// may associate a text editor, which would show a page as source. The
// association is found as the desktop's own tools find it outside a desktop
// session: the "Default Applications" of the mimeapps.list files (user
// configuration, system configuration, user and system application
// folders, in that order), then their "Added Associations", then the
// applications' own claims in the mimeinfo.cache of each application
// folder; the first entry whose desktop file exists wins. The application is
// a web browser when its desktop entry's Categories hold "WebBrowser" or it
// handles http URLs.
//
// Reads files only; any thread.
#ifndef TESSAVO_PLATFORM_HTML_HANDLER_H_
#define TESSAVO_PLATFORM_HTML_HANDLER_H_

#include <string>

namespace platform {

// The desktop file id (as "firefox-esr.desktop") of the application that
// opens files of `mimeType`, or empty when there is none.
std::string defaultApplicationFor(const std::string& mimeType);

// True when the desktop entry `desktopId` describes a web browser.
bool isWebBrowser(const std::string& desktopId);

// True when HTML files open in a web browser.
bool htmlOpensInWebBrowser();

}  // namespace platform

#endif  // TESSAVO_PLATFORM_HTML_HANDLER_H_
