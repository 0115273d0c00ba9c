#include "platform/html_handler.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/profile_reader.h"

namespace platform {
namespace {

std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  return "/tmp";
}

// An XDG base folder from `variable`, or `fallback`; relative values are
// invalid by the XDG rules and ignored.
std::string baseFolder(const char* variable, const std::string& fallback) {
  const char* value = std::getenv(variable);
  return value != nullptr && value[0] == '/' ? value : fallback;
}

// The folders of a colon-separated XDG list, or of `fallback`.
std::vector<std::string> folderList(const char* variable, const std::string& fallback) {
  const char* value = std::getenv(variable);
  const std::string list = value != nullptr && value[0] != '\0' ? value : fallback;
  std::vector<std::string> folders;
  std::string::size_type start = 0;
  while (start <= list.size()) {
    const std::string::size_type end = std::min(list.find(':', start), list.size());
    const std::string folder = list.substr(start, end - start);
    if (!folder.empty() && folder[0] == '/') folders.push_back(folder);
    start = end + 1;
  }
  return folders;
}

std::vector<std::string> applicationFolders() {
  std::vector<std::string> folders = {baseFolder("XDG_DATA_HOME", homeFolder() + "/.local/share") +
                                      "/applications/"};
  for (const std::string& data : folderList("XDG_DATA_DIRS", "/usr/local/share:/usr/share")) {
    folders.push_back(data + "/applications/");
  }
  return folders;
}

std::vector<std::string> mimeappsFiles() {
  std::vector<std::string> files = {baseFolder("XDG_CONFIG_HOME", homeFolder() + "/.config") +
                                    "/mimeapps.list"};
  for (const std::string& config : folderList("XDG_CONFIG_DIRS", "/etc/xdg")) {
    files.push_back(config + "/mimeapps.list");
  }
  for (const std::string& applications : applicationFolders()) {
    files.push_back(applications + "mimeapps.list");
  }
  return files;
}

// The desktop file of `desktopId`, or empty.
std::string desktopFile(const std::string& desktopId) {
  if (desktopId.empty() || desktopId.find('/') != std::string::npos) return std::string();
  for (const std::string& folder : applicationFolders()) {
    if (::access((folder + desktopId).c_str(), R_OK) == 0) return folder + desktopId;
  }
  return std::string();
}

// The first installed application of a ";"-separated list of desktop ids.
std::string firstInstalled(const std::string& list) {
  std::string::size_type start = 0;
  while (start < list.size()) {
    const std::string::size_type end = std::min(list.find(';', start), list.size());
    const std::string id = list.substr(start, end - start);
    if (!desktopFile(id).empty()) return id;
    start = end + 1;
  }
  return std::string();
}

bool listHolds(const std::string& list, const std::string& item) {
  return (";" + list + ";").find(";" + item + ";") != std::string::npos;
}

}  // namespace

std::string defaultApplicationFor(const std::string& mimeType) {
  const std::vector<std::string> lists = mimeappsFiles();
  for (const char* section : {"Default Applications", "Added Associations"}) {
    for (const std::string& file : lists) {
      const std::string id = firstInstalled(readProfileString(file, section, mimeType, ""));
      if (!id.empty()) return id;
    }
  }
  for (const std::string& folder : applicationFolders()) {
    const std::string id =
        firstInstalled(readProfileString(folder + "mimeinfo.cache", "MIME Cache", mimeType, ""));
    if (!id.empty()) return id;
  }
  return std::string();
}

bool isWebBrowser(const std::string& desktopId) {
  const std::string file = desktopFile(desktopId);
  if (file.empty()) return false;
  return listHolds(readProfileString(file, "Desktop Entry", "Categories", ""), "WebBrowser") ||
         listHolds(readProfileString(file, "Desktop Entry", "MimeType", ""),
                   "x-scheme-handler/http");
}

bool htmlOpensInWebBrowser() {
  return isWebBrowser(defaultApplicationFor("text/html"));
}

}  // namespace platform
