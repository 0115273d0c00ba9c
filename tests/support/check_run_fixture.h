// What the check-run tests share: a folder of their own, a private temporary
// folder (tests run in parallel and the run's file names are fixed), a pane
// that records lines, fake validators, and a way to run a job to its end.
// For test programs that link the engine.
#ifndef TESSAVO_TESTS_SUPPORT_CHECK_RUN_FIXTURE_H_
#define TESSAVO_TESTS_SUPPORT_CHECK_RUN_FIXTURE_H_

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/check_job.h"
#include "engine/error_pane.h"
#include "engine/run_sgml.h"
#include "tests/support/bounded_wait.h"
#include "tests/support/file_contents.h"
#include "tests/support/recording_pane.h"
#include "tests/support/temp_folder.h"

// A document type declaration for test documents: the validator's lines
// about a document that has one are listed as they stand.
inline const std::string kDoctypeLine = "<!DOCTYPE p SYSTEM \"p.dtd\">\n";
// The line a checked document without a doctype gets (engine/dtd_notice.h).
inline const std::string kNoDoctype = "I: DOCTYPE 宣言のない文書は DTD による検査ができません";

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
  }

  static void shell(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  std::string temp() const { return folder_ + "temp/"; }
  // The run folders in the temporary folder now.
  std::vector<std::string> runFolders() const {
    std::vector<std::string> found;
    if (DIR* listing = ::opendir(temp().c_str())) {
      while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.rfind("tessavo-run-", 0) == 0) found.push_back(name);
      }
      ::closedir(listing);
    }
    return found;
  }
  std::string docs() const { return folder_ + "docs/"; }

  static std::string writeFile(const std::string& path, const std::string& bytes) {
    return test_support::writeFile(path, bytes);
  }
  static std::string readFile(const std::string& path) { return test_support::readFile(path); }
  static bool exists(const std::string& path) { return test_support::pathExists(path); }

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
    pane_.waitUntilDone();
    waitForThreadEnd(run);
    EXPECT_EQ(run.exitCode(), 0);
    incomplete_ = run.incomplete();
    return pane_.lines();
  }

  // The end-of-run notice is the run's last action: the thread ends a moment
  // later.
  static void waitForThreadEnd(const Thread& run) {
    test_support::waitUntil([&run] { return !run.isRunning(); }, "the checking thread to end");
  }

  std::unique_ptr<test_support::TempFolder> folderOwner_;
  std::string folder_;
  RecordingPane pane_;
  bool incomplete_ = false;  // of the last check()
  std::vector<std::unique_ptr<CheckTarget>> targets_;
};

#endif  // TESSAVO_TESTS_SUPPORT_CHECK_RUN_FIXTURE_H_
