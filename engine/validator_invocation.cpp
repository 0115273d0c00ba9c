#include "engine/validator_invocation.h"

#include "platform/dtd_folders.h"
#include "platform/executable_path.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/validator_environment.h"

const char ValidatorInvocation::kCopyName[] = "$conv.sgml";
const char ValidatorInvocation::kErrorName[] = "$error.out";

namespace {

// Names in the run folder for folders whose paths the validator cannot take.
const char kDocumentLink[] = "$doc";
const char kCatalogLink[] = "tvx-bin";
// The name a download's copy is handed over by: a validator held to some
// folders (-R) reads only names of letters, digits and "/._-".
const char kDownloadCopyLink[] = "tvx-conv.sgml";

bool isPlain(const std::string& text) {
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

// Whether a validator held to some folders still reads `path`.
bool isReadableWhenHeld(const std::string& path) {
  for (const char c : path) {
    const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                         (c >= '0' && c <= '9') || c == '/' || c == '.' || c == '_' || c == '-';
    if (!allowed) return false;
  }
  return path.find("..") == std::string::npos;
}

std::string withoutTrailingSlash(std::string path) {
  if (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string withTrailingSlash(std::string path) {
  if (path.empty() || path.back() != '/') path.push_back('/');
  return path;
}

}  // namespace

ValidatorInvocation::ValidatorInvocation(const std::string& validatorPath,
                                         platform::RunFolder& folder, int maxErrors)
    : folder_(folder),
      configured_(validatorPath.empty() ? platform::defaultValidatorProgram() : validatorPath),
      // The validator works in the run folder, so a relative path to it must
      // be made absolute here.
      program_(platform::absolutePath(platform::findProgram(configured_))),
      maxErrors_(maxErrors) {
  const std::string fileName = program_.substr(program_.rfind('/') + 1);
  ownName_ = !fileName.empty() && isPlain(fileName) && fileName.find(':') == std::string::npos
                 ? fileName
                 : "nsgmls";

  // The catalogs lie in the program's data folder (beside the executable in
  // a build tree). A folder link keeps their relative entries (xhtml-catalog
  // names "catalog") resolving beside them; it also serves a validator held
  // to some folders, which could not read the path itself.
  const std::string binFolder = platform::programDataFolder();
  catalogFolder_ = handOver(binFolder, kCatalogLink, isReadableWhenHeld(binFolder)) + "/";
  catalogNames_ = names_;
  folder_.link(kDownloadCopyLink, kCopyName);
}

std::string ValidatorInvocation::handOver(const std::string& path, const std::string& linkName,
                                          bool asItStands) {
  if (asItStands || !folder_.link(linkName, path)) return withoutTrailingSlash(path);
  names_.folders.emplace_back(linkName + "/", withTrailingSlash(path));
  return linkName;
}

platform::ChildOutcome ValidatorInvocation::run(const std::string& documentFolder,
                                                const ValidatorProfile& profile,
                                                const std::atomic<bool>* stop, int timeoutSeconds) {
  names_ = catalogNames_;
  names_.copy = documentFolder.empty() ? kDownloadCopyLink : kCopyName;
  names_.encoding = profile.encoding;
  platform::ChildLaunch launch;
  launch.program = program_;
  launch.arguments = {ownName_};
  launch.arguments.insert(launch.arguments.end(), profile.options.begin(), profile.options.end());
  if (maxErrors_ >= 0) launch.arguments.push_back("-E" + std::to_string(maxErrors_));
  launch.arguments.push_back("-c" + catalogFolder_ + profile.catalogName);
  launch.arguments.push_back(std::string("-f") + kErrorName);
  launch.arguments.push_back("-s");
  if (!documentFolder.empty()) {
    launch.arguments.push_back("-D" +
                               handOver(documentFolder, kDocumentLink, isPlain(documentFolder)));
  } else {
    // A downloaded document is not the user's: its system identifiers
    // ("/etc/passwd", "../../") may name no file but the DTDs and the copy.
    launch.arguments.push_back("-R");
    launch.arguments.push_back("-D" + withoutTrailingSlash(catalogFolder_));
    for (const std::string& folder : platform::dtdFolders()) {
      launch.arguments.push_back("-D" + folder);
    }
    launch.arguments.push_back("-D.");
  }
  launch.arguments.push_back(names_.copy);
  launch.folder = folder_.path();
  launch.environment = platform::validatorEnvironment(profile.spEncoding());
  // No document, local or downloaded, makes the validator fetch anything:
  // it could send what it read anywhere.
  launch.denyNetwork = true;
  if (program_.empty()) return platform::ChildOutcome{};
  return platform::runChild(launch, stop, timeoutSeconds);
}
