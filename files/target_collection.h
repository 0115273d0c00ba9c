// The roads by which targets enter the working set besides loading a
// working-set file: files chosen in the file dialog, a folder chosen in the
// folder dialog, a drop of files and folders, a URI typed in the URI dialog,
// the program's arguments, and a file handed over by a second start of the
// program. The window obtains the input (a dialog's result, the dropped
// paths, the handed-over path) and calls one of these; each road then fixes
// what is cleared first, what is added in which order, how the working set's
// modified flag ends up and whether a check of all targets starts at once:
//
//   road                       clears first      modified afterwards        auto-start
//   chosen files               nothing           set                        yes
//   chosen folder              nothing           set                        yes
//   drop                       both panes        set by additions only      yes
//   entered URI                error pane        set                        no
//   program arguments          nothing           cleared if any added       if any added
//   handed over, not ".tvx"    new working set   cleared                    yes
//     (when the set has unsaved changes, the usual question comes first;
//     cancel keeps the set and drops the hand-over)
//   handed over, ".tvx"        (as Open)         (as Open)                  no
//
// "Auto-start" means a check of all targets when the host's dropStart() is
// on. A drop or a hand-over that arrives while a check runs would replace
// the targets the run reads; it is kept, in order of arrival, and applied
// once the run has ended (runEnded), while the host shows that it waits.
//
// The host is borrowed and must outlive this object. User-interface thread
// only; a road may be entered again from inside a host call (a modal
// question runs an event loop), and then it waits for the running one.
#ifndef TESSAVO_FILES_TARGET_COLLECTION_H_
#define TESSAVO_FILES_TARGET_COLLECTION_H_

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "files/target_sink.h"

// What the roads need of the window. AddFile and AddUri add a target's line
// and mark the working set modified, as the file pane does.
class CollectionHost : public TargetSink {
 public:
  virtual void clearFilePane() = 0;
  virtual void clearErrorPane() = 0;
  virtual void setModified(bool modified) = 0;
  virtual bool dropStart() const = 0;
  // Starts a check of all targets; does nothing while one runs.
  virtual void startCheckAll() = 0;
  // Whether arrivals wait: a check runs (or the window is otherwise not
  // ready to have its working set replaced, e.g. a command waits in a
  // dialog).
  virtual bool isChecking() const = 0;
  // Replaces the working set by a new, empty one (both panes cleared), after
  // the question about unsaved changes when there are any. False, changing
  // nothing, when the user cancels.
  virtual bool newWorkingSet() = 0;
  // Opens a working-set file as the Open command does: the question about
  // unsaved changes first, then the file's targets in an emptied set.
  virtual void openWorkingSet(const std::string& path) = 0;
  // `count` arrivals wait for the running check; 0 when none waits any more.
  virtual void showWaiting(std::size_t count) = 0;
};

class TargetCollection {
 public:
  explicit TargetCollection(CollectionHost& host) : host_(host) {}
  TargetCollection(const TargetCollection&) = delete;
  TargetCollection& operator=(const TargetCollection&) = delete;

  // The file dialog's result, full paths in the dialog's order; an empty
  // list (cancel) changes nothing.
  void addChosenFiles(const std::vector<std::string>& paths);
  // The folder dialog's result; empty (cancel) changes nothing. A "/" is
  // appended when missing.
  void addChosenFolder(const std::string& folder);
  // The URI dialog's text after OK, added even when empty.
  void addEnteredUri(const std::string& text);
  // The program's arguments (without its name): every one whose extension
  // is not "tvx" (letter case ignored). True when something was added.
  bool addCommandLineFiles(const std::vector<std::string>& arguments);

  // Dropped paths in drop order: folders are scanned, files added whatever
  // their extension. Replaces the working set; waits while a check runs.
  void drop(const std::vector<std::string>& paths);
  // The path a second start of the program handed over. Waits while a check
  // runs.
  void handOver(const std::string& path);

  // Applies the arrivals that waited, in order, as long as no check runs
  // (an applied arrival may start one; the rest then wait for its end).
  void runEnded();
  std::size_t waiting() const { return pending_.size(); }

 private:
  struct Arrival {
    bool isDrop;
    std::vector<std::string> paths;
  };

  void arrive(Arrival arrival);
  void apply(const Arrival& arrival);
  void applyDrop(const std::vector<std::string>& paths);
  void applyHandOver(const std::string& path);
  void autoStart();

  CollectionHost& host_;
  std::deque<Arrival> pending_;
  bool applying_ = false;
};

// True when `path` names a working-set file: its extension, lower-cased, is
// "tvx".
bool isWorkingSetPath(const std::string& path);

#endif  // TESSAVO_FILES_TARGET_COLLECTION_H_
