// What the check-run tests share: a folder of their own, a private temporary
// folder (tests run in parallel and the run's file names are fixed), a pane
// that records lines, fake validators, and a way to run a job to its end.
// For test programs that link the engine.
#ifndef TESSAVO_TESTS_SUPPORT_CHECK_RUN_FIXTURE_H_
#define TESSAVO_TESTS_SUPPORT_CHECK_RUN_FIXTURE_H_

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/check_job.h"
#include "engine/error_pane.h"
#include "engine/run_sgml.h"
#include "platform/validator_environment.h"
#include "tests/support/bounded_wait.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

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
  // Whether the end-of-run event came; a failure of the test if not.
  bool waitUntilDone() {
    std::unique_lock<std::mutex> lock(mutex_);
    return test_support::waitFor(
        changed_, lock, [this] { return done_ > 0; }, "the end of the check run");
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
    folderOwner_ = std::make_unique<test_support::TempFolder>(
        std::string("check_run_") + info->test_suite_name() + "_" + info->name());
    folder_ = folderOwner_->path();
    folderOwner_->makeFolder("docs");
    ::chmod(folderOwner_->makeFolder("temp").c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", (folder_ + "temp").c_str(), 1);
    platform::setValidatorEnvironment();
  }

  static void shell(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  std::string temp() const { return folder_ + "temp/"; }
  std::string docs() const { return folder_ + "docs/"; }

  static std::string writeFile(const std::string& path, const std::string& bytes) {
    return test_support::writeFile(path, bytes);
  }
  static std::string readFile(const std::string& path) { return test_support::readFile(path); }
  static bool exists(const std::string& path) { return test_support::pathExists(path); }

  // A shell script standing in for the validator. In its body $err is the
  // error file (-f) and $in the intermediate file; $DIR is this test's folder.
  std::string fakeValidator(const std::string& name, const std::string& body) {
    const std::string path = folder_ + name;
    writeFile(path, "#!/bin/sh\nDIR='" + folder_ +
                        "'\nfor a; do case $a in -f*) err=${a#-f};; esac; in=$a; done\n" + body +
                        "\n");
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
  std::vector<PaneLine> check(const std::string& validatorPath) {
    CheckJob job = jobFor(validatorPath);
    RunSgml run;
    EXPECT_TRUE(run.start(&job));
    pane_.waitUntilDone();
    test_support::waitUntil([&run] { return !run.isRunning(); }, "the checking thread to end");
    EXPECT_EQ(run.exitCode(), 0);
    return pane_.lines();
  }

  std::unique_ptr<test_support::TempFolder> folderOwner_;
  std::string folder_;
  RecordingPane pane_;
  std::vector<std::unique_ptr<CheckTarget>> targets_;
};

#endif  // TESSAVO_TESTS_SUPPORT_CHECK_RUN_FIXTURE_H_
