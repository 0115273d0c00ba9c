// The error pane while a writer thread clears it and adds lines, as the
// checking thread does, and the user-interface thread shows, selects and
// follows lines at the same time. Built with ThreadSanitizer in CI (label
// "thread"), where any access to the pane's model outside its lock fails.
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "tests/support/bounded_wait.h"
#include "ui/command_ids.h"
#include "window_fixture.h"

namespace {

// "round/index", so that a line shown in the wrong place or from a cleared
// round can be told.
std::string lineText(int round, long index) {
  return std::to_string(round) + "/" + std::to_string(index);
}

bool endsWithIndex(const std::string& text, long index) {
  const std::string suffix = "/" + std::to_string(index);
  return text.size() > suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

TEST_F(WindowTest, ErrorPaneStaysWholeWhileAnotherThreadWritesIt) {
  open();
  files->AddFile("/d/a.htm");
  CheckTarget* target = files->target(0);
  frame->setActivePane(errors);

  constexpr int kRounds = 12;
  constexpr long kLines = 3000;
  std::atomic<bool> written{false};
  std::atomic<long> followed{0};
  const auto deadline = std::chrono::steady_clock::now() + test_support::kWaitBound;
  std::thread writer([&] {
    for (int round = 0; round < kRounds; ++round) {
      errors->ClearLines();
      for (long i = 0; i < kLines; ++i) {
        errors->AddLine(lineText(round, i),
                        std::make_unique<ErrorItem>(ErrorItem{target, static_cast<int>(i)}));
      }
      // The writer may be done before the window has looked once; the
      // later rounds wait until it has, so that they meet its reading.
      while (followed.load() == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
      }
    }
    written = true;
  });

  // Meanwhile the window does what a user's clicks and its own drawing do.
  // A selected line's item is the item of the line shown there, or nothing
  // once a clear has made it stale; never an item of another line.
  std::string firstMismatch;
  while (!written && std::chrono::steady_clock::now() < deadline) {
    pump();
    const long shown = errors->shownLineCount();
    if (shown == 0) continue;
    const long index = (followed * 7919) % shown;
    errors->selectLine(index);
    const std::optional<ErrorItem> item = errors->selectedItem();
    const std::string text = errors->GetItemText(index).utf8_string();
    enabled(ID_OPEN_EDITOR);
    if (item && item->line != index && firstMismatch.empty()) {
      firstMismatch =
          "line " + std::to_string(index) + " has the item of line " + std::to_string(item->line);
    }
    if (!text.empty() && !endsWithIndex(text, index) && firstMismatch.empty()) {
      firstMismatch = "line " + std::to_string(index) + " shows " + text;
    }
    ++followed;
  }
  EXPECT_TRUE(written) << "the writer did not finish within the bound";
  writer.join();
  EXPECT_EQ(firstMismatch, "");
  EXPECT_GT(followed.load(), 0);

  // The last round is whole and in order, in the model and on the screen.
  ASSERT_TRUE(waitUntil([this] { return errors->shownLineCount() == kLines; }));
  ASSERT_EQ(errors->lineCount(), kLines);
  for (long i = 0; i < kLines; i += 251) {
    EXPECT_EQ(errors->lineText(i), lineText(kRounds - 1, i));
    EXPECT_EQ(errors->GetItemText(i).utf8_string(), lineText(kRounds - 1, i));
    EXPECT_EQ(errors->item(i)->line, i);
  }
}

}  // namespace
