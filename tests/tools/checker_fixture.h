// What the tests of tessavo-check as a program share: a folder of its own
// with a copy of the samples, a private temporary and settings folder, fake
// validators, and two ways of running the checker: to its end through a
// shell, or started in the background so that the test can signal it. Every
// wait is bounded.
#ifndef TESSAVO_TESTS_TOOLS_CHECKER_FIXTURE_H_
#define TESSAVO_TESTS_TOOLS_CHECKER_FIXTURE_H_

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

extern char** environ;

struct Result {
  std::string output;
  int status;
};

class CheckerTest : public ::testing::Test {
 protected:
  static constexpr const char* kChecker = TESSAVO_BINARY_DIR "/bin/tessavo-check";

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    temp_ =
        std::make_unique<test_support::TempFolder>(std::string("tessavo_check_") + info->name());
    folder_ = temp_->path();
    ::chmod(temp_->makeFolder("temp").c_str(), 0700);
    temp_->makeFolder("config/Marrowby");
    std::filesystem::copy(TESSAVO_SOURCE_DIR "/samples", folder_ + "samples",
                          std::filesystem::copy_options::recursive);
  }

  static void shell(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  static void writeFile(const std::string& path, const std::string& text) {
    test_support::writeFile(path, text);
  }
  static std::string readFile(const std::string& path) { return test_support::readFile(path); }

  // A validator that writes `line` as its one message.
  std::string fakeValidator(const std::string& name, const std::string& line) {
    return scriptValidator(name, "echo '" + line + "' > \"$err\"");
  }
  // A validator whose body runs with $err set to its error file.
  std::string scriptValidator(const std::string& name, const std::string& body) {
    const std::string path = folder_ + name;
    writeFile(path,
              "#!/bin/sh\nfor a; do case $a in -f*) err=${a#-f};; esac; done\n" + body + "\n");
    ::chmod(path.c_str(), 0755);
    return path;
  }

  // Settings as the window writes them, in the checker's settings folder.
  void writeSettings(const std::string& lines) {
    writeFile(folder_ + "config/Marrowby/Tessavo.conf", "[Settings]\n" + lines);
  }

  // The run folders left in the checker's temporary folder.
  std::string runFolders() const {
    std::string names;
    std::FILE* listing = ::popen(("ls -A '" + folder_ + "temp'").c_str(), "r");
    char buffer[256];
    while (listing != nullptr && std::fgets(buffer, sizeof buffer, listing) != nullptr) {
      names += buffer;
    }
    if (listing != nullptr) ::pclose(listing);
    return names;
  }

  // HTML5 checking is off unless a test turns it on with an --html5-checker
  // of its own: most tests' documents have no doctype, and a Java start
  // costs seconds.
  static constexpr const char* kNoHtml5Checker = "--html5-checker=";

  // Runs the checker in this test's folder with its own temporary folder and
  // settings; `arguments` and `environment` ("NAME=value ...", which may
  // replace those folders) are already quoted for the shell.
  Result run(const std::string& arguments, const std::string& environment = std::string()) {
    const std::string command = "cd '" + folder_ + "' && XDG_RUNTIME_DIR='" + folder_ +
                                "temp' XDG_CONFIG_HOME='" + folder_ + "config' " + environment +
                                " '" + kChecker + "' " + kNoHtml5Checker + " " + arguments +
                                " 2>/dev/null";
    Result result{"", -1};
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
      result.output.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
  }

  // Starts the checker in the background, in a process group of its own as
  // a shell starts a job, writing its output into `output`. Its process id,
  // or -1.
  pid_t start(const std::vector<std::string>& arguments, const std::string& output,
              const std::vector<std::string>& environment = {}) {
    std::vector<std::string> argv{kChecker, kNoHtml5Checker};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envp{"XDG_RUNTIME_DIR=" + folder_ + "temp",
                                  "XDG_CONFIG_HOME=" + folder_ + "config"};
    for (char** entry = environ; *entry != nullptr; ++entry) {
      const std::string text = *entry;
      if (text.rfind("XDG_RUNTIME_DIR=", 0) != 0 && text.rfind("XDG_CONFIG_HOME=", 0) != 0) {
        envp.push_back(text);
      }
    }
    envp.insert(envp.end(), environment.begin(), environment.end());
    std::vector<char*> argvPointers, envpPointers;
    for (std::string& text : argv) argvPointers.push_back(&text[0]);
    for (std::string& text : envp) envpPointers.push_back(&text[0]);
    argvPointers.push_back(nullptr);
    envpPointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder_.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    pid_t pid = -1;
    if (::posix_spawn(&pid, kChecker, &actions, &attributes, argvPointers.data(),
                      envpPointers.data()) != 0) {
      pid = -1;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }

  // Waits up to `milliseconds` for the started checker to end: its wait
  // status, or -1 when it runs on (it is then killed, so no test leaves it
  // behind).
  static int waitFor(pid_t pid, int milliseconds) {
    const long fd = ::syscall(SYS_pidfd_open, pid, 0);
    if (fd >= 0) {
      pollfd entry{static_cast<int>(fd), POLLIN, 0};
      const int ready = ::poll(&entry, 1, milliseconds);
      ::close(static_cast<int>(fd));
      if (ready != 1) {
        ::kill(-pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
      }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
  }

  std::unique_ptr<test_support::TempFolder> temp_;
  std::string folder_;
};

#endif  // TESSAVO_TESTS_TOOLS_CHECKER_FIXTURE_H_
