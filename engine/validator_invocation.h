// How a check run starts the validator, once per target.
//
// The program is the job's validator path, or "nsgmls" (then "onsgmls")
// found on PATH, made absolute. It runs in the run's folder with the command
//
//   <name> [options] [-E<max errors>] -c<catalog> -f$error.out -s
//          -D<document's folder> $conv.sgml          (a local document)
//          -R -D<catalog folder> -D<DTD folder>... -D. tvx-conv.sgml
//                                                   (a download)
//
// and SP_CHARSET_FIXED=YES, SP_ENCODING=<the copy's encoding> in its
// environment, where -E is given only when a maximum number of errors was
// asked for, the options, the catalog (in the program's data folder) and
// the encoding come from the document's ValidatorProfile, and the error file
// and the copy lie in the run folder. A local document is the user's own:
// -D lets the copy's relative system identifiers resolve in the document's
// folder. A downloaded one is not: -R holds the validator to the folders of
// the catalogs and their DTDs (platform/dtd_folders.h) and the run folder,
// where "tvx-conv.sgml" links to the copy, since a validator held so reads
// only names of letters, digits and "/._-". No validator may use the network
// (platform/network_filter.h): an entity could otherwise send what it read
// anywhere.
//
// The validator reads the names on its command line in the encoding of the
// copy (SP_ENCODING), so a path is handed over as it stands only when it is
// plain printable ASCII (the catalog folder: only when a held validator can
// read it); any other path (Japanese folder names, say) is reached through a
// link with an ASCII name in the run folder, and names() records the pair so
// that error lines show the real path. The program's own name
// (argv[0], which the validator puts at the start of every error line) is
// the file's name when that is plain and holds no ":", else "nsgmls", so
// that the first ":" of every line ends it.
//
// One object per run, on the checking thread; the run folder must outlive it.
#ifndef TESSAVO_ENGINE_VALIDATOR_INVOCATION_H_
#define TESSAVO_ENGINE_VALIDATOR_INVOCATION_H_

#include <atomic>
#include <string>
#include <vector>

#include "engine/error_file.h"
#include "engine/validator_profile.h"
#include "platform/child_process.h"
#include "platform/run_folder.h"

class ValidatorInvocation {
 public:
  static const char kCopyName[];   // "$conv.sgml"
  static const char kErrorName[];  // "$error.out"

  // `maxErrors` is the validator's -E (0: no limit), or a negative number
  // for the validator's own limit.
  ValidatorInvocation(const std::string& validatorPath, platform::RunFolder& folder,
                      int maxErrors = -1);

  // The file that is started; empty when none was found.
  const std::string& program() const { return program_; }
  // The validator as the user named it: the configured path, or the name
  // that was looked up on PATH.
  const std::string& configured() const { return configured_; }

  // Runs the validator as `profile` says on the copy of a document that lies
  // in `documentFolder` (empty for a download, which has none), and waits
  // for its end (platform/child_process.h).
  platform::ChildOutcome run(const std::string& documentFolder, const ValidatorProfile& profile,
                             const std::atomic<bool>* stop, int timeoutSeconds);

  // The names the validator's error lines use for the copy and for folders.
  const ErrorFileNames& names() const { return names_; }

 private:
  // `path` as the validator is to be given it: as it stands when
  // `asItStands`, else through a link named `linkName` in the run folder.
  std::string handOver(const std::string& path, const std::string& linkName, bool asItStands);

  platform::RunFolder& folder_;
  std::string configured_;
  std::string program_;
  std::string ownName_;
  int maxErrors_;
  std::string catalogFolder_;  // as handed over, ending with "/"
  ErrorFileNames names_;
  ErrorFileNames catalogNames_;
};

#endif  // TESSAVO_ENGINE_VALIDATOR_INVOCATION_H_
