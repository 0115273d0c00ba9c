#include "engine/message_filter.h"

#include <algorithm>
#include <fstream>

bool MessageFilter::add(const std::string& pattern, std::string* failure) {
  try {
    patterns_.emplace_back(pattern, std::regex::ECMAScript | std::regex::optimize);
  } catch (const std::regex_error& error) {
    *failure = "bad message filter \"" + pattern + "\": " + error.what();
    return false;
  }
  return true;
}

bool MessageFilter::addFile(const std::string& path, std::string* failure) {
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) {
    *failure = "cannot read the message filter file " + path;
    return false;
  }
  std::string line;
  int number = 0;
  while (std::getline(file, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (!add(line, failure)) {
      *failure = path + ":" + std::to_string(number) + ": " + *failure;
      return false;
    }
  }
  return true;
}

bool MessageFilter::drops(const ReportLine& line) const {
  // The run's own lines carry -1: they are no checker's message.
  if (line.itemLine < 0) return false;
  for (const std::regex& pattern : patterns_) {
    if (std::regex_search(line.text, pattern)) return true;
  }
  return false;
}

void MessageFilter::apply(std::vector<ReportLine>& lines) const {
  if (patterns_.empty()) return;
  lines.erase(std::remove_if(lines.begin(), lines.end(),
                             [this](const ReportLine& line) { return drops(line); }),
              lines.end());
}
