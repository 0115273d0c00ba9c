#include "files/target_collection.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

using Calls = std::vector<std::string>;

// Records every call of the roads in order; AddFile and AddUri mark the set
// modified as the file pane does.
class RecordingHost : public CollectionHost {
 public:
  void AddFile(const std::string& path) override {
    calls.push_back("file:" + path);
    modified = true;
  }
  void AddUri(const std::string& text) override {
    calls.push_back("uri:" + text);
    modified = true;
  }
  void clearFilePane() override { calls.push_back("clear-files"); }
  void clearErrorPane() override { calls.push_back("clear-errors"); }
  void setModified(bool value) override { modified = value; }
  bool dropStart() const override { return autoStart; }
  void startCheckAll() override {
    calls.push_back("start");
    if (startRuns) checking = true;
  }
  bool isChecking() const override { return checking; }
  bool newWorkingSet() override {
    calls.push_back("new");
    if (cancelNew) return false;
    modified = false;
    return true;
  }
  void openWorkingSet(const std::string& path) override {
    calls.push_back("open:" + path);
    if (onOpen) onOpen();
  }
  void showWaiting(std::size_t count) override { waitingShown = count; }

  Calls calls;
  bool modified = false;
  bool autoStart = false;
  bool checking = false;
  bool startRuns = false;  // a started check keeps running until the test ends it
  bool cancelNew = false;  // the user cancels the question before a new set
  std::size_t waitingShown = 0;
  std::function<void()> onOpen;
};

class Folder {
 public:
  Folder() {
    for (const char* name : {"tree/a.HTM", "tree/e.txt", "tree/sub/f.htm", "plain/note.txt"}) {
      test_support::writeFile(temp_ / name, "x");
    }
  }
  const std::string& path() const { return temp_.path(); }

 private:
  test_support::TempFolder temp_{"roads"};
};

// Each road's row: what is cleared and added, the modified flag afterwards
// (from a set that was modified before, and from one that was not) and
// whether a check starts with dropStart on and off.
TEST(TargetCollection, EachRoadClearsAddsMarksAndStarts) {
  Folder folder;
  const std::string tree = folder.path() + "tree";
  struct Row {
    const char* road;
    std::function<void(TargetCollection&)> enter;
    Calls calls;  // without the start
    bool modifiedAfter;
    bool starts;
  };
  const std::vector<Row> rows = {
      {"chosen files",
       [](TargetCollection& c) {
         c.addChosenFiles({"/d/b.htm", "/d/a.htm", "/d/c.txt"});
       },
       {"file:/d/b.htm", "file:/d/a.htm", "file:/d/c.txt"},
       true,
       true},
      {"chosen folder",
       [&](TargetCollection& c) { c.addChosenFolder(tree); },
       {"file:" + tree + "/a.HTM", "file:" + tree + "/sub/f.htm"},
       true,
       true},
      {"drop",
       [&](TargetCollection& c) {
         c.drop({"/d/x.txt", tree});
       },
       {"clear-files", "clear-errors", "file:/d/x.txt", "file:" + tree + "/a.HTM",
        "file:" + tree + "/sub/f.htm"},
       true,
       true},
      {"entered URI",
       [](TargetCollection& c) { c.addEnteredUri("http://h/"); },
       {"clear-errors", "uri:http://h/"},
       true,
       false},
      {"empty URI",
       [](TargetCollection& c) { c.addEnteredUri(""); },
       {"clear-errors", "uri:"},
       true,
       false},
      {"program arguments",
       [](TargetCollection& c) {
         EXPECT_TRUE(c.addCommandLineFiles({"a.htm", "b.TVX", "c"}));
       },
       {"file:a.htm", "file:c"},
       false,
       true},
      {"handed-over file",
       [](TargetCollection& c) { c.handOver("/d/a.htm"); },
       {"new", "file:/d/a.htm"},
       false,
       true},
  };
  for (const Row& row : rows) {
    for (const bool autoStart : {false, true}) {
      for (const bool modifiedBefore : {false, true}) {
        SCOPED_TRACE(std::string(row.road) + (autoStart ? " auto" : "") +
                     (modifiedBefore ? " modified" : ""));
        RecordingHost host;
        host.autoStart = autoStart;
        host.modified = modifiedBefore;
        TargetCollection collection(host);
        row.enter(collection);
        Calls expected = row.calls;
        if (autoStart && row.starts) expected.push_back("start");
        EXPECT_EQ(host.calls, expected);
        EXPECT_EQ(host.modified, row.modifiedAfter);
      }
    }
  }
}

TEST(TargetCollection, CancelAndNothingToAddChangeNothing) {
  Folder folder;
  RecordingHost host;
  host.autoStart = true;
  TargetCollection collection(host);
  collection.addChosenFiles({});
  collection.addChosenFolder("");
  EXPECT_FALSE(collection.addCommandLineFiles({}));
  EXPECT_FALSE(collection.addCommandLineFiles({"set.tvx", "other.Tvx"}));
  EXPECT_TRUE(host.calls.empty());
  EXPECT_FALSE(host.modified);

  // A drop of a folder without HTML files empties both panes and leaves the
  // flag as it was; it still starts (a check of nothing).
  for (const bool before : {false, true}) {
    host.calls.clear();
    host.modified = before;
    collection.drop({folder.path() + "plain/"});
    EXPECT_EQ(host.calls, (Calls{"clear-files", "clear-errors", "start"}));
    EXPECT_EQ(host.modified, before);
  }
}

TEST(TargetCollection, HandedOverWorkingSetOpensLikeTheOpenCommand) {
  RecordingHost host;
  host.autoStart = true;
  host.modified = true;
  TargetCollection collection(host);
  collection.handOver("/d/Set.TVX");
  // Everything else (the question, the new set, the title) is the Open
  // command's; no check starts.
  EXPECT_EQ(host.calls, (Calls{"open:/d/Set.TVX"}));
}

TEST(TargetCollection, HandOverCancelledAtTheQuestionKeepsTheSet) {
  for (const bool checking : {false, true}) {
    SCOPED_TRACE(checking ? "after a run" : "at once");
    RecordingHost host;
    host.autoStart = true;
    host.modified = true;
    host.cancelNew = true;
    host.checking = checking;
    TargetCollection collection(host);
    collection.handOver("/d/a.htm");
    host.checking = false;
    collection.runEnded();
    EXPECT_EQ(host.calls, Calls{"new"});
    EXPECT_TRUE(host.modified);
    EXPECT_EQ(collection.waiting(), 0u);
  }
}

TEST(TargetCollection, ArrivalsDuringACheckWaitForItsEnd) {
  RecordingHost host;
  host.checking = true;
  TargetCollection collection(host);
  collection.drop({"/d/one.htm"});
  collection.handOver("/d/two.htm");
  collection.handOver("/d/set.tvx");
  EXPECT_TRUE(host.calls.empty()) << "nothing may touch the targets the run reads";
  EXPECT_EQ(collection.waiting(), 3u);
  EXPECT_EQ(host.waitingShown, 3u);

  collection.runEnded();  // the end-of-run event may come before the thread is gone
  EXPECT_TRUE(host.calls.empty());

  host.checking = false;
  collection.runEnded();
  EXPECT_EQ(host.calls, (Calls{"clear-files", "clear-errors", "file:/d/one.htm", "new",
                               "file:/d/two.htm", "open:/d/set.tvx"}));
  EXPECT_EQ(collection.waiting(), 0u);
  EXPECT_EQ(host.waitingShown, 0u);
}

TEST(TargetCollection, AnArrivalThatStartsACheckHoldsBackTheNext) {
  RecordingHost host;
  host.autoStart = true;
  host.startRuns = true;
  host.checking = true;
  TargetCollection collection(host);
  collection.drop({"/d/one.htm"});
  collection.drop({"/d/two.htm"});
  host.checking = false;
  collection.runEnded();
  EXPECT_EQ(host.calls, (Calls{"clear-files", "clear-errors", "file:/d/one.htm", "start"}));
  EXPECT_EQ(host.waitingShown, 1u);
  host.calls.clear();
  host.checking = false;
  collection.runEnded();
  EXPECT_EQ(host.calls, (Calls{"clear-files", "clear-errors", "file:/d/two.htm", "start"}));
  EXPECT_EQ(host.waitingShown, 0u);
}

TEST(TargetCollection, AnArrivalDuringAQuestionWaitsForIt) {
  RecordingHost host;
  TargetCollection collection(host);
  // The unsaved-changes question of the Open runs an event loop, in which
  // another hand-over may arrive.
  host.onOpen = [&] {
    host.onOpen = nullptr;
    collection.handOver("/d/late.htm");
    EXPECT_EQ(host.calls, (Calls{"open:/d/set.tvx"}));
  };
  collection.handOver("/d/set.tvx");
  EXPECT_EQ(host.calls, (Calls{"open:/d/set.tvx", "new", "file:/d/late.htm"}));
}

TEST(TargetCollection, WorkingSetExtensionIgnoresCase) {
  const struct {
    const char* path;
    bool isSet;
  } cases[] = {{"a.tvx", true}, {"/x/B.TVX", true},  {"c.Tvx", true},   {"d.tvx.htm", false},
               {"tvx", false},  {"/x.tvx/e", false}, {"f.tvxx", false}, {"", false}};
  for (const auto& c : cases) EXPECT_EQ(isWorkingSetPath(c.path), c.isSet) << c.path;
}

}  // namespace
