#include "ui/err_list_model.h"

#include <algorithm>

#include "platform/local_text.h"

void ErrListModel::changed() {
  if (listener_) listener_();
}

void ErrListModel::clear() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
    ++generation_;
    progress_ = Progress();
    lastTarget_ = nullptr;
    lastTargetHasLines_ = false;
    limitReached_ = false;
  }
  changed();
}

void ErrListModel::add(const std::string& text, std::unique_ptr<ErrorItem> item) {
  Line line{text, std::move(item)};  // copied before the lock is taken
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (const ErrorItem* added = line.item.get(); added != nullptr && added->target != nullptr) {
      if (added->target != lastTarget_) {
        lastTarget_ = added->target;
        lastTargetHasLines_ = false;
        ++progress_.targets;
        progress_.location = added->target->location;
      } else {
        ++progress_.lines;
        if (!lastTargetHasLines_) ++progress_.targetsWithLines;
        lastTargetHasLines_ = true;
      }
    }
    if (line.item && static_cast<long>(lines_.size()) >= lineLimit_) {
      if (limitReached_) return;  // the pane shows nothing new
      limitReached_ = true;
      line = Line{limitLine(), nullptr};
    }
    lines_.push_back(std::move(line));
  }
  changed();
}

std::string ErrListModel::limitLine() const {
  return platform::localText("E: 行が多すぎるので、以降の行は表示しない: 上限 ") +
         std::to_string(lineLimit_) + platform::localText(" 行");
}

void ErrListModel::removeLinesOf(const CheckTarget* target) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.erase(std::remove_if(lines_.begin(), lines_.end(),
                                [target](const Line& line) {
                                  return line.item && line.item->target == target;
                                }),
                 lines_.end());
    if (lastTarget_ == target) lastTarget_ = nullptr;
  }
  changed();
}

std::uint64_t ErrListModel::generation() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return generation_;
}

long ErrListModel::size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<long>(lines_.size());
}

std::string ErrListModel::text(long index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_.at(index).text;
}

std::optional<ErrorItem> ErrListModel::item(long index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Line& line = lines_.at(index);
  if (!line.item) return std::nullopt;
  return *line.item;
}

ErrListModel::Progress ErrListModel::progress() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return progress_;
}

std::optional<std::string> ErrListModel::textIn(std::uint64_t generation, long index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (generation != generation_ || index < 0 || index >= static_cast<long>(lines_.size())) {
    return std::nullopt;
  }
  return lines_[index].text;
}

std::optional<ErrorItem> ErrListModel::itemIn(std::uint64_t generation, long index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (generation != generation_ || index < 0 || index >= static_cast<long>(lines_.size()) ||
      !lines_[index].item) {
    return std::nullopt;
  }
  return *lines_[index].item;
}

std::optional<std::vector<std::string>> ErrListModel::textsIn(
    std::uint64_t generation, const std::vector<long>& indexes) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (generation != generation_) return std::nullopt;
  std::vector<std::string> texts;
  texts.reserve(indexes.size());
  for (const long index : indexes) {
    if (index >= 0 && index < static_cast<long>(lines_.size())) texts.push_back(lines_[index].text);
  }
  return texts;
}

bool ErrListModel::visit(std::uint64_t generation, long from, long to,
                         const std::function<void(const std::string&)>& visitor) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (generation != generation_) return false;
  const long end = std::min(to, static_cast<long>(lines_.size()));
  for (long i = std::max(0L, from); i < end; ++i) visitor(lines_[i].text);
  return true;
}
