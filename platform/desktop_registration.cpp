#include "platform/desktop_registration.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/command_line.h"
#include "platform/file_handle.h"
#include "platform/process.h"

namespace platform {
namespace {

std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  return "/tmp";
}

// Creates every missing folder of `path` (which ends with "/").
bool makeFolders(const std::string& path) {
  for (std::string::size_type slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return true;
}

// What is in place, read only when it is a regular file (a FIFO there would
// hold every start) and only as far as a file of ours can be long.
bool readFile(const std::string& path, std::string* content) {
  int error = 0;
  return readRegularFile(path, 1024 * 1024, content, &error);
}

// 1 when written, 0 when already in place, -1 on failure. The new content
// goes to a temporary name first, so a reader never sees half a file.
int writeIfDifferent(const std::string& folder, const std::string& name,
                     const std::string& content) {
  std::string present;
  if (readFile(folder + name, &present) && present == content) return 0;
  if (!makeFolders(folder)) return -1;
  const std::string temporary = folder + "." + name + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out.flush()) {
      ::unlink(temporary.c_str());
      return -1;
    }
  }
  if (::rename(temporary.c_str(), (folder + name).c_str()) != 0) {
    ::unlink(temporary.c_str());
    return -1;
  }
  return 1;
}

// One argument of an Exec line: in double quotes, with the four characters
// that are special there escaped, then the key file's own escaping of the
// backslash; a percent sign is doubled, as field codes start with one.
std::string execArgument(const std::string& argument) {
  std::string quoted = "\"";
  for (const char c : argument) {
    if (c == '"' || c == '`' || c == '$') {
      quoted += "\\\\";
      quoted += c;
    } else if (c == '\\') {
      quoted += "\\\\\\\\";
    } else if (c == '%') {
      quoted += "%%";
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

void runUpdater(const char* program, const std::string& folder) {
  if (findProgram(program).empty()) return;
  int exitCode = 0;
  runAndWait(std::string(program) + " " + quoteArgument(folder), &exitCode);
}

}  // namespace

const char kWorkingSetMimeType[] = "application/x-tessavo-document";
const char kIconName[] = "tessavo";

std::string desktopDataFolder() {
  // A relative XDG_DATA_HOME is invalid by the XDG rules and is ignored.
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
    std::string folder = xdg;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
  }
  return homeFolder() + "/.local/share";
}

std::string desktopEntryText(const std::string& executable) {
  std::ostringstream text;
  text << "[Desktop Entry]\n"
       << "Type=Application\n"
       << "Name=Tessavo\n"
       << "GenericName=HTML Validator\n"
       << "GenericName[ja]=HTML 検査\n"
       << "Comment=Validate HTML documents in batch\n"
       << "Comment[ja]=HTML文書をまとめて検査します\n"
       << "Exec=" << execArgument(executable) << " %f\n"
       << "Icon=" << kIconName << "\n"
       << "MimeType=" << kWorkingSetMimeType << ";\n"
       << "Terminal=false\n"
       << "Categories=Development;WebDevelopment;\n"
       << "Keywords=HTML;SGML;validator;checker;\n";
  return text.str();
}

std::string mimePackageText() {
  std::ostringstream text;
  text << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
       << "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
       << "  <mime-type type=\"" << kWorkingSetMimeType << "\">\n"
       << "    <comment>Tessavo Document</comment>\n"
       << "    <comment xml:lang=\"ja\">Tessavo 検査対象リスト</comment>\n"
       << "    <sub-class-of type=\"text/plain\"/>\n"
       << "    <glob pattern=\"*.tvx\"/>\n"
       << "  </mime-type>\n"
       << "</mime-info>\n";
  return text.str();
}

int registerDocumentType(const std::string& executable, const std::string& iconSvg) {
  const std::string data = desktopDataFolder();
  const int mime = writeIfDifferent(data + "/mime/packages/", "tessavo.xml", mimePackageText());
  const int entry =
      writeIfDifferent(data + "/applications/", "tessavo.desktop", desktopEntryText(executable));
  const int icon = iconSvg.empty() ? 0
                                   : writeIfDifferent(data + "/icons/hicolor/scalable/apps/",
                                                      std::string(kIconName) + ".svg", iconSvg);
  if (mime > 0) runUpdater("update-mime-database", data + "/mime");
  if (entry > 0) runUpdater("update-desktop-database", data + "/applications");
  if (mime < 0 || entry < 0 || icon < 0) return -1;
  return mime + entry + icon;
}

}  // namespace platform
