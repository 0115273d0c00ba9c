// The error pane's lines: what a check run wrote, in the order it was
// written, each with its ErrorItem (or none), and the run's progress as the
// lines tell it.
//
// A line whose item names another target than the previous target line's is
// that target's header: the run writes one per target before anything else
// about it. Every later line with an item of the same target (a validator
// message or an "E: " line) counts as one of its lines. Lines without an
// item (the closing line, a validator that cannot be started) count for no
// target.
//
// The pane holds at most a line limit of lines (a million unless the
// owner says otherwise), so that a run with millions of messages cannot
// exhaust the memory: once it is reached, one line without an item says so
// and later lines that belong to a target are left out (they still count
// in the progress); lines without an item, such as the closing line, are
// always added.
//
// Each clear starts a new generation. A reader that remembers the
// generation it saw can tell that the lines it knows were freed meanwhile.
//
// Threads: every member may be called from any thread; the lines, items,
// generation and progress are guarded by one mutex, and no call holds it
// while calling out, except visit, which calls its visitor under it. The
// change listener is called on the thread that made the change, after the
// lock is released. No wx here, so the model can be tested and used without
// a display.
#ifndef TESSAVO_UI_ERR_LIST_MODEL_H_
#define TESSAVO_UI_ERR_LIST_MODEL_H_

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/check_target.h"

class ErrListModel {
 public:
  struct Progress {
    long targets = 0;           // targets begun: header lines
    long targetsWithLines = 0;  // targets with a line besides their header
    long lines = 0;             // such lines, all targets together
    std::string location;       // the newest target's location
  };

  static constexpr long kDefaultLineLimit = 1000000;

  explicit ErrListModel(long lineLimit = kDefaultLineLimit) : lineLimit_(lineLimit) {}
  ErrListModel(const ErrListModel&) = delete;
  ErrListModel& operator=(const ErrListModel&) = delete;

  // Called after every clear, addition and removal. Set before any writer
  // runs.
  void setChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

  // Removes every line and frees every item; starts a new generation.
  void clear();
  // Appends a line, or, past the line limit, frees it; the model owns `item`
  // (which may be null).
  void add(const std::string& text, std::unique_ptr<ErrorItem> item);
  // Removes the lines whose item names `target` (which is about to be
  // freed). The generation stays.
  void removeLinesOf(const CheckTarget* target);

  std::uint64_t generation() const;
  long size() const;
  std::string text(long index) const;
  std::optional<ErrorItem> item(long index) const;
  Progress progress() const;

  // The same, for a reader that knows the lines of `generation`: nothing
  // when a clear came in between or the index is out of range (or, for
  // itemIn, the line carries no item).
  std::optional<std::string> textIn(std::uint64_t generation, long index) const;
  std::optional<ErrorItem> itemIn(std::uint64_t generation, long index) const;
  // The texts of the lines of `generation` at `indexes`, in that order;
  // nothing when a clear came in between. Indexes out of range are skipped.
  std::optional<std::vector<std::string>> textsIn(std::uint64_t generation,
                                                  const std::vector<long>& indexes) const;

  // Calls `visitor` for the lines `from` to `to` (exclusive, clamped to the
  // size) of `generation`, under the lock; false when a clear came in
  // between. The visitor must not call the model.
  bool visit(std::uint64_t generation, long from, long to,
             const std::function<void(const std::string&)>& visitor) const;

 private:
  struct Line {
    std::string text;
    std::unique_ptr<ErrorItem> item;
  };

  void changed();
  // The line that says the limit was reached.
  std::string limitLine() const;

  mutable std::mutex mutex_;
  const long lineLimit_;
  std::deque<Line> lines_;                   // guarded by mutex_
  std::uint64_t generation_ = 0;             // guarded by mutex_; counts clears
  Progress progress_;                        // guarded by mutex_
  const CheckTarget* lastTarget_ = nullptr;  // guarded by mutex_; of the newest header
  bool lastTargetHasLines_ = false;          // guarded by mutex_
  bool limitReached_ = false;                // guarded by mutex_
  std::function<void()> listener_;
};

#endif  // TESSAVO_UI_ERR_LIST_MODEL_H_
