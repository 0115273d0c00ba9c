// The socket on which the first instance takes hand-overs, against hostile
// peers (real connections written byte by byte) and the hand-over of a
// second start to a first instance that was stopped with SIGSTOP.
#include <errno.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/app.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/held_validator.h"
#include "tests/support/process_end.h"
#include "tests/ui/startup_fixture.h"
#include "ui/ipc/ipc_channel.h"
#include "ui/main_frame.h"
#include "ui/prev_instance.h"

extern char** environ;

using namespace startup_test;

namespace {

// A client of the socket that writes whatever the test gives it.
class RawPeer {
 public:
  explicit RawPeer(const std::string& socketPath)
      : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    connected_ =
        fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~RawPeer() {
    if (fd_ >= 0) ::close(fd_);
  }
  RawPeer(const RawPeer&) = delete;
  RawPeer& operator=(const RawPeer&) = delete;

  bool write(const std::string& bytes) {
    return connected_ && ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                             static_cast<ssize_t>(bytes.size());
  }

  // Whether the other end has closed the connection; what it sent before
  // is added to received().
  bool closedByPeer() {
    char buffer[256];
    for (;;) {
      const ssize_t got = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
      if (got > 0) {
        received_.append(buffer, got);
        continue;
      }
      return got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
    }
  }
  const std::string& received() const { return received_; }

 private:
  int fd_;
  bool connected_ = false;
  std::string received_;
};

long residentKiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmRSS:" && status >> value) return value;
  }
  return 0;
}

// The real program started in `folder` with `arguments` and its own runtime
// folder, not waited for; ended (stopped or not) when the object goes.
class Program {
 public:
  Program(const std::string& folder, const std::vector<std::string>& arguments,
          const std::string& runtime) {
    std::vector<std::string> words = {"env", "-C", folder, "XDG_RUNTIME_DIR=" + runtime,
                                      TESSAVO_BINARY_DIR "/bin/tessavo"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    if (::posix_spawnp(&pid_, "env", nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
  }
  ~Program() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGCONT);
    ::kill(pid_, SIGTERM);
    if (!test_support::processEnded(pid_, 10000)) ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

std::string bytes(std::initializer_list<unsigned char> values) {
  return std::string(values.begin(), values.end());
}

}  // namespace

TEST(InstanceSocket, HostileMessagesEndOnlyTheirOwnConversation) {
  const std::string folder = scratch() + "work/hostile/";
  writeFile(folder + "a.htm", "<p>x</p>\n");
  writeProfile("");
  CMainFrame* frame = openWindow({});
  ASSERT_NE(frame, nullptr);
  const long residentBefore = residentKiB();

  // The opening of a conversation on "Tessavo", and a request whose item
  // claims one byte more than a message may hold.
  const std::string opening = bytes({0x0a, 7, 0, 0, 0}) + "Tessavo";
  const struct {
    const char* what;
    std::string sent;
  } refused[] = {
      {"a topic that claims 2 GiB", bytes({0x0a, 0xff, 0xff, 0xff, 0x7f})},
      {"an item of 64 KiB and one byte", opening + bytes({0x02, 0x01, 0x00, 0x01, 0x00})},
      {"a request before the opening", bytes({0x02, 1, 0, 0, 0, 'a', 1})},
      {"a message nobody takes", bytes({0x07})},
  };
  for (const auto& hostile : refused) {
    RawPeer peer(CPrevInstance::socketPath());
    ASSERT_TRUE(peer.write(hostile.sent)) << hostile.what;
    EXPECT_TRUE(pumpUntil([&] { return peer.closedByPeer(); }, 3000))
        << hostile.what << ": the conversation was not ended";
  }
  EXPECT_LT(residentKiB() - residentBefore, 64 * 1024) << "the window's memory grew";

  // A message that stops halfway holds its conversation for the time-out
  // only; meanwhile a second start is taken as usual.
  RawPeer slow(CPrevInstance::socketPath());
  ASSERT_TRUE(slow.write(bytes({0x0a, 7, 0, 0, 0, 'T', 'e'})));
  EXPECT_EQ(runSecondStart(folder, {"a.htm"}), 0);
  EXPECT_TRUE(pumpUntil([&] { return fileLines(frame) == std::vector{folder + "a.htm"}; }))
      << "the second start's file did not arrive";
  EXPECT_TRUE(pumpUntil([&] { return slow.closedByPeer(); }, kIpcTimeoutMs + 3000))
      << "the unfinished message's conversation was not ended after the time-out";
}

TEST(SecondStart, GivesUpOnAStoppedFirstInstanceAndKeepsTheFile) {
  const std::string folder = scratch() + "work/stopped/";
  writeFile(folder + "f.html", "<p>x</p>\n");
  // These starts find each other in a runtime folder of their own; this
  // test program is the first instance of the test's folder.
  const std::string runtime = scratch() + "run-stopped";
  std::filesystem::create_directories(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  const std::vector<std::string> there = {"XDG_RUNTIME_DIR=" + runtime};
  test_support::HeldValidator validator(scratch() + "work/");
  writeProfile("[Settings]\nDropStart=1\nSP Location=" + validator.path() + "\n");

  Program first(folder, {}, runtime);
  ASSERT_GT(first.pid(), 0);
  ASSERT_TRUE(
      pumpUntil([&] { return std::filesystem::exists(runtime + "/Tessavo.instance"); }, 20000))
      << "the first instance did not come up";
  // A start without arguments only raises the window: the first answers.
  ASSERT_EQ(runProgram(folder, {}, there), 0);

  ASSERT_EQ(::kill(first.pid(), SIGSTOP), 0);
  const auto handedOver = std::chrono::steady_clock::now();
  Program second(folder, {"f.html"}, runtime);
  // The second start gives up within the hand-over's time-out and checks
  // the file in a window of its own.
  EXPECT_TRUE(pumpUntil([&] { return validator.latestRun() != 0; }, 30000))
      << "the second start did not go on with its file";
  EXPECT_LT(std::chrono::steady_clock::now() - handedOver, std::chrono::seconds(20));
  EXPECT_FALSE(test_support::processEnded(second.pid(), 0)) << "the second start ended";

  // Going on, the first instance answers later starts again.
  ASSERT_EQ(::kill(first.pid(), SIGCONT), 0);
  EXPECT_EQ(runProgram(folder, {}, there), 0);
  EXPECT_FALSE(test_support::processEnded(first.pid(), 0)) << "the first instance ended";
  validator.release();
}

TEST(SecondStart, AHandOverWhoseSenderHungUpIsLeftAlone) {
  const std::string folder = scratch() + "work/abandoned/";
  writeFile(folder + "b.htm", "<p>x</p>\n");
  writeProfile("");
  CMainFrame* frame = openWindow({});
  ASSERT_NE(frame, nullptr);
  // A start that stopped waiting for the answer to its request and went its
  // own way with the file: the window reads the request and the end of the
  // connection together.
  {
    RawPeer gaveUp(CPrevInstance::socketPath());
    ASSERT_TRUE(gaveUp.write(bytes({0x0a, 7, 0, 0, 0}) + "Tessavo"));
    ASSERT_TRUE(pumpUntil([&] { return gaveUp.closedByPeer() || !gaveUp.received().empty(); }));
    ASSERT_EQ(gaveUp.received(), bytes({0x0a})) << "the opening was not accepted";
    const std::string item = folder + "b.htm" + '\0';
    ASSERT_TRUE(gaveUp.write(bytes({0x02, static_cast<unsigned char>(item.size()), 0, 0, 0}) +
                             item + bytes({1})));
  }
  // A later start's answer comes after the window has read the first one.
  EXPECT_EQ(runSecondStart(folder, {}), 0);
  wxTheApp->ProcessPendingEvents();
  EXPECT_TRUE(fileLines(frame).empty()) << "the abandoned file was taken";
}
