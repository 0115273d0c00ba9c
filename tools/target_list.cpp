#include "tools/target_list.h"

#include <algorithm>

#include "engine/target_construction.h"
#include "files/target_order.h"

void TargetList::AddFile(const std::string& path) {
  if (auto target = targetFromPath(path)) {
    targets_.push_back(std::move(target));
  } else {
    refusals_.push_back({path, refusalOfPath(path)});
  }
}

void TargetList::AddUri(const std::string& text) {
  if (auto target = targetFromUri(text)) {
    targets_.push_back(std::move(target));
  } else {
    refusals_.push_back({text, refusalOfUri(text)});
  }
}

void TargetList::sortLikeFilePane() {
  std::stable_sort(
      targets_.begin(), targets_.end(),
      [](const std::unique_ptr<CheckTarget>& a, const std::unique_ptr<CheckTarget>& b) {
        return targetOrderLess(a->location, b->location);
      });
}

std::vector<CheckTarget*> TargetList::pointers() const {
  std::vector<CheckTarget*> result;
  result.reserve(targets_.size());
  for (const auto& target : targets_) result.push_back(target.get());
  return result;
}
