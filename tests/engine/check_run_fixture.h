// What the check-run tests share: a folder of their own, a private temporary
// folder, a pane that records lines, fake validators, and a way to run a job
// to its end. Every wait is bounded and fails the test with a message.
#ifndef TESSAVO_TESTS_ENGINE_CHECK_RUN_FIXTURE_H_
#define TESSAVO_TESTS_ENGINE_CHECK_RUN_FIXTURE_H_

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/check_job.h"
#include "engine/error_pane.h"
#include "engine/run_sgml.h"

struct PaneLine {
  std::string text;
  bool hasItem;
  CheckTarget* target;
  int line;
};

class RecordingPane : public ErrorPane, public CheckDoneReceiver {
 public:
  void ClearLines() override {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
    ++clears_;
  }
  void AddLine(const std::string& text, std::unique_ptr<ErrorItem> item) override {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back({text, item != nullptr, item ? item->target : nullptr, item ? item->line : 0});
  }
  void postCheckDone() override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++done_;
    changed_.notify_all();
  }
  // False when the run has not ended within `seconds`.
  bool waitUntilDone(int seconds = 60) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(seconds), [this] { return done_ > 0; });
  }
  std::vector<PaneLine> lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }
  std::vector<std::string> texts() {
    std::vector<std::string> result;
    for (const PaneLine& line : lines()) result.push_back(line.text);
    return result;
  }
  int doneCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return done_;
  }
  int clearCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return clears_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<PaneLine> lines_;
  int done_ = 0;
  int clears_ = 0;
};

class CheckRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = ::testing::TempDir() + "check_run_" + info->test_suite_name() + "_" + info->name() +
              "_" + std::to_string(::getpid()) + "/";
    shell("rm -rf '" + folder_ + "' && mkdir -p '" + folder_ + "temp' '" + folder_ + "docs'");
    ::chmod((folder_ + "temp").c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", (folder_ + "temp").c_str(), 1);
  }
  void TearDown() override { shell("rm -rf '" + folder_ + "'"); }

  static void shell(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  std::string temp() const { return folder_ + "temp/"; }
  // The run folders in the temporary folder now.
  std::vector<std::string> runFolders() const {
    std::vector<std::string> found;
    if (DIR* listing = ::opendir(temp().c_str())) {
      while (const dirent* entry = ::readdir(listing)) {
        if (std::string(entry->d_name).rfind("tessavo-run-", 0) == 0)
          found.push_back(entry->d_name);
      }
      ::closedir(listing);
    }
    return found;
  }
  std::string docs() const { return folder_ + "docs/"; }

  std::string writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  static std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  static bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

  // A shell script standing in for the validator. In its body $err is the
  // error file (-f), $in the intermediate file and $docdir the folder given
  // with -D, as the validator was given them (relative to the run folder,
  // its current folder); $DIR is this test's folder.
  std::string fakeValidator(const std::string& name, const std::string& body) {
    const std::string path = folder_ + name;
    writeFile(path, "#!/bin/sh\nDIR='" + folder_ +
                        "'\nfor a; do case $a in -f*) err=${a#-f};; -D*) docdir=${a#-D};; esac; "
                        "in=$a; done\n" +
                        body + "\n");
    ::chmod(path.c_str(), 0755);
    return path;
  }

  CheckTarget* fileTarget(const std::string& path) {
    targets_.push_back(std::make_unique<CheckTarget>(CheckTarget{TargetKind::File, path}));
    return targets_.back().get();
  }
  CheckTarget* target(TargetKind kind, const std::string& location) {
    targets_.push_back(std::make_unique<CheckTarget>(CheckTarget{kind, location}));
    return targets_.back().get();
  }

  // A job over every target made so far, in order, writing into the pane.
  CheckJob jobFor(const std::string& validatorPath) {
    CheckJob job;
    job.mainWindow = &pane_;
    job.errorPane = &pane_;
    for (const auto& t : targets_) job.targets.push_back(t.get());
    job.validatorPath = validatorPath;
    return job;
  }

  // Runs every target made so far, in order, and waits for the end.
  std::vector<PaneLine> check(const std::string& validatorPath, int validatorTimeout = 120) {
    CheckJob job = jobFor(validatorPath);
    job.validatorTimeout = validatorTimeout;
    RunSgml run;
    EXPECT_TRUE(run.start(&job));
    EXPECT_TRUE(pane_.waitUntilDone()) << "the run did not end";
    waitForThreadEnd(run);
    EXPECT_EQ(run.exitCode(), 0);
    incomplete_ = run.incomplete();
    return pane_.lines();
  }

  // The end-of-run notice is the run's last action: the thread ends a moment
  // later.
  static void waitForThreadEnd(const Thread& run) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (run.isRunning() && std::chrono::steady_clock::now() < until) std::this_thread::yield();
    EXPECT_FALSE(run.isRunning()) << "the thread runs on after its end-of-run notice";
  }

  std::string folder_;
  RecordingPane pane_;
  bool incomplete_ = false;  // of the last check()
  std::vector<std::unique_ptr<CheckTarget>> targets_;
};

#endif  // TESSAVO_TESTS_ENGINE_CHECK_RUN_FIXTURE_H_
