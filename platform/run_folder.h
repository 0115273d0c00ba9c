// The private folder of one check run, inside the per-user temporary folder.
//
// Every run (the window's, each tessavo-check) makes a new folder
// "tessavo-run-<pid>-XXXXXX" (mkdtemp, mode 0700) and keeps its error file,
// download and converted copies there, so that runs at the same time never
// see each other's files. The folder is removed with everything in it when
// the RunFolder goes; links in it are removed, never followed.
//
// A run that was killed cannot remove its folder; the next run removes such
// leftovers (sweepLeftovers). A folder is a leftover only when the process
// named in it is gone and nobody holds the lock its run keeps on it, so two
// live runs never remove each other's folders, even across PID namespaces
// that share the temporary folder.
//
// Ownership: the object owns the folder and the lock's descriptor (close-on-
// exec). One thread uses an object; different objects on different threads
// and in different processes are independent.
#ifndef TESSAVO_PLATFORM_RUN_FOLDER_H_
#define TESSAVO_PLATFORM_RUN_FOLDER_H_

#include <string>

namespace platform {

class RunFolder {
 public:
  RunFolder() = default;
  ~RunFolder();
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;

  // Makes a new folder inside `parent` (which ends with "/"). False, with
  // error() set, when none can be made.
  bool create(const std::string& parent);

  // The folder's path, ending with "/"; empty before create().
  const std::string& path() const { return path_; }
  int error() const { return error_; }

  // Makes `name` in the folder a link to `target`, replacing an earlier link
  // of that name. False when it cannot be made, or before create().
  bool link(const std::string& name, const std::string& target);

  // Removes the folder and everything in it. Idempotent.
  void remove();

  // Removes the folders of runs that ended without removing theirs from
  // `parent`. Never touches anything else in `parent`.
  static void sweepLeftovers(const std::string& parent);

 private:
  std::string path_;
  int lockFd_ = -1;
  int error_ = 0;
};

// Removes `path` and, if it is a real folder, everything in it; links are
// removed, never followed. Failures are ignored.
void removeTree(const std::string& path);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_RUN_FOLDER_H_
