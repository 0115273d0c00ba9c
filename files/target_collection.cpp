#include "files/target_collection.h"

#include <utility>

#include "files/file_name.h"
#include "files/folder_scan.h"
#include "platform/file_system.h"

bool isWorkingSetPath(const std::string& path) {
  return FileName(path).extension(true) == "tvx";
}

void TargetCollection::autoStart() {
  if (host_.dropStart()) host_.startCheckAll();
}

void TargetCollection::addChosenFiles(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  for (const std::string& path : paths) host_.AddFile(path);
  host_.setModified(true);
  autoStart();
}

void TargetCollection::addChosenFolder(const std::string& folder) {
  if (folder.empty()) return;
  AddFolder(platform::withFolderSeparator(folder), host_);
  host_.setModified(true);
  autoStart();
}

void TargetCollection::addEnteredUri(const std::string& text) {
  host_.clearErrorPane();
  host_.AddUri(text);
  host_.setModified(true);
}

bool TargetCollection::addCommandLineFiles(const std::vector<std::string>& arguments) {
  bool added = false;
  for (const std::string& argument : arguments) {
    if (isWorkingSetPath(argument)) continue;
    host_.AddFile(argument);
    added = true;
  }
  if (added) {
    host_.setModified(false);
    autoStart();
  }
  return added;
}

void TargetCollection::drop(const std::vector<std::string>& paths) {
  arrive(Arrival{true, paths});
}

void TargetCollection::handOver(const std::string& path) {
  arrive(Arrival{false, {path}});
}

void TargetCollection::arrive(Arrival arrival) {
  pending_.push_back(std::move(arrival));
  runEnded();
}

void TargetCollection::runEnded() {
  // An arrival applied from inside another one's modal question would
  // replace the set under it; the outer loop takes it afterwards.
  if (applying_) return;
  applying_ = true;
  while (!pending_.empty() && !host_.isChecking()) {
    Arrival next = std::move(pending_.front());
    pending_.pop_front();
    apply(next);
  }
  applying_ = false;
  host_.showWaiting(pending_.size());
}

void TargetCollection::apply(const Arrival& arrival) {
  if (arrival.isDrop) {
    applyDrop(arrival.paths);
  } else {
    applyHandOver(arrival.paths.front());
  }
}

void TargetCollection::applyDrop(const std::vector<std::string>& paths) {
  host_.clearFilePane();
  host_.clearErrorPane();
  for (const std::string& path : paths) {
    if (isDirectory(path.c_str())) {
      AddFolder(platform::withFolderSeparator(path), host_);
    } else {
      host_.AddFile(path);
    }
  }
  autoStart();
}

void TargetCollection::applyHandOver(const std::string& path) {
  if (isWorkingSetPath(path)) {
    host_.openWorkingSet(path);
    return;
  }
  if (!host_.newWorkingSet()) return;
  host_.AddFile(path);
  host_.setModified(false);
  autoStart();
}
