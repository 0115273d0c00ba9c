#include "tools/target_list.h"

#include <algorithm>

#include "engine/target_construction.h"
#include "files/target_order.h"

void TargetList::AddFile(const std::string& path) {
  add(targetFromPath(path));
}

void TargetList::AddUri(const std::string& text) {
  add(targetFromUri(text));
}

void TargetList::add(std::unique_ptr<CheckTarget> target) {
  if (target) targets_.push_back(std::move(target));
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
