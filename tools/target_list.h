// The headless checker's working set: a target sink that makes and owns the
// targets, as the file pane does in the window.
//
// Targets are made by the same rules as the pane's AddFile and AddUri
// (engine/target_construction.h); a text that gives no target is kept among
// the refusals, with the reason, so that the checker can report it.
// sortLikeFilePane() puts them in the order the file pane shows, so a check
// lists its lines in the order the window's error pane would. Used on one
// thread; the pointers stay valid as long as the list.
#ifndef TESSAVO_TOOLS_TARGET_LIST_H_
#define TESSAVO_TOOLS_TARGET_LIST_H_

#include <memory>
#include <string>
#include <vector>

#include "engine/check_target.h"
#include "files/target_sink.h"

class TargetList : public TargetSink {
 public:
  struct Refusal {
    std::string text;    // the path or URI text as it was added
    std::string reason;  // in the program's code page
  };

  void AddFile(const std::string& path) override;
  void AddUri(const std::string& text) override;

  // The working set's order (files/target_order.h): the order the file pane
  // shows and checks.
  void sortLikeFilePane();

  std::vector<CheckTarget*> pointers() const;
  std::size_t size() const { return targets_.size(); }
  // In the order they were added.
  const std::vector<Refusal>& refusals() const { return refusals_; }

 private:
  std::vector<std::unique_ptr<CheckTarget>> targets_;
  std::vector<Refusal> refusals_;
};

#endif  // TESSAVO_TOOLS_TARGET_LIST_H_
