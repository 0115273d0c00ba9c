#include "tests/ui/startup_fixture.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/utils.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/process.h"
#include "platform/settings_location.h"
#include "tests/support/temp_folder.h"
#include "ui/file_list_view.h"
#include "ui/main_frame.h"
#include "ui/tessavo_app.h"
#include "viewers/process_starter.h"

namespace startup_test {
namespace {

std::unique_ptr<test_support::TempFolder> scratchFolder;
wxGUIEventLoop* loop = nullptr;
wxEventLoopActivator* activator = nullptr;

// wx's failed checks (an unexpected or a missing dialog of wxTEST_DIALOG)
// become test failures instead of a message box nobody answers.
void reportAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& message) {
  ADD_FAILURE() << "wx: " << file << ":" << line << " " << func << " " << cond << " " << message;
}

class WxEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    scratchFolder = std::make_unique<test_support::TempFolder>("tessavo-startup");
    for (const char* sub : {"run", "config", "data", "work"}) {
      ::mkdir((scratch() + sub).c_str(), 0700);
    }
    ::setenv("XDG_RUNTIME_DIR", (scratch() + "run").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (scratch() + "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (scratch() + "data").c_str(), 1);
    // HTML5 checking off, as writeProfile() keeps it.
    ::mkdir((scratch() + "config/Marrowby").c_str(), 0700);
    writeFile(platform::settingsFilePath(), "[Settings]\nHTML5Checker=\n");

    wxApp::SetInstance(new TessavoApp);
    static int argc = 1;
    static char name[] = "startup_test";
    static char* argv[] = {name, nullptr};
    ASSERT_TRUE(wxEntryStart(argc, argv));
    wxSetAssertHandler(reportAssert);
    wxTheApp->SetAppName("Tessavo");
    wxTheApp->SetVendorName("Marrowby");
    loop = new wxGUIEventLoop;
    activator = new wxEventLoopActivator(loop);
    ASSERT_TRUE(app().startSockets());
    app().openSettings();
    // This program is the first instance: later starts find its lock.
    ASSERT_FALSE(app().handOverToRunning({}));
  }

  void TearDown() override {
    app().discardWindow();
    wxTheApp->ProcessPendingEvents();
    delete activator;
    delete loop;
    wxTheApp->OnExit();
    wxEntryCleanup();
    scratchFolder.reset();
  }
};

const auto* environment = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

}  // namespace

const std::string& scratch() {
  return scratchFolder->path();
}

TessavoApp& app() {
  return *static_cast<TessavoApp*>(wxTheApp);
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return done();
    wxTheApp->Yield(true);
    wxTheApp->ProcessPendingEvents();
    wxMilliSleep(5);
  }
  return true;
}

void writeProfile(const std::string& text) {
  app().discardWindow();
  // HTML5 checking stays off unless the profile names a checker: a Java
  // start costs seconds.
  const std::string section = "[Settings]\n";
  std::string profile = text;
  const std::size_t settings = profile.find(section);
  if (!profile.empty() && profile.back() != '\n') profile += '\n';
  if (profile.find("HTML5Checker=") == std::string::npos) {
    if (settings == std::string::npos) {
      profile += section + "HTML5Checker=\n";
    } else {
      const std::size_t next = profile.find("\n[", settings + section.size());
      profile.insert(next == std::string::npos ? profile.size() : next + 1, "HTML5Checker=\n");
    }
  }
  writeFile(platform::settingsFilePath(), profile);
  app().openSettings();
}

CMainFrame* openWindow(const std::vector<std::string>& arguments) {
  app().discardWindow();
  if (!app().processCommandLine(arguments)) return nullptr;
  app().becomeFirstInstance();
  CMainFrame* frame = app().mainFrame();
  EXPECT_TRUE(pumpUntil([&] { return frame->IsShownOnScreen(); }))
      << "the window was not shown within 10 s";
  return frame;
}

int runSecondStart(const std::string& folder, const std::vector<std::string>& arguments) {
  return runProgram(folder, arguments, {});
}

int runProgram(const std::string& folder, const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment,
               const std::function<void()>& meanwhile) {
  // env -C starts the program in `folder`, as a user would from a shell.
  // A program that never ends is killed after a minute, so that the thread
  // waiting for it can always be joined.
  std::string commandLine = "timeout -k 5 60 env -C " + quoteArgument(folder);
  for (const std::string& variable : environment) commandLine += " " + quoteArgument(variable);
  commandLine += " \"" TESSAVO_BINARY_DIR "/bin/tessavo\"";
  for (const std::string& argument : arguments) commandLine += " " + quoteArgument(argument);
  std::atomic<bool> ended{false};
  int exitCode = -1;
  std::thread child([&] {
    if (!platform::runAndWait(commandLine, &exitCode)) exitCode = -2;
    ended = true;
  });
  const bool done = pumpUntil(
      [&] {
        if (meanwhile && !ended) meanwhile();
        return ended.load();
      },
      20000);
  if (!done) ADD_FAILURE() << "the program did not end within 20 s: " << commandLine;
  child.join();
  return done ? exitCode : -1;
}

std::vector<std::string> fileLines(CMainFrame* frame) {
  std::vector<std::string> lines;
  for (long i = 0; i < frame->filePane()->lineCount(); ++i) {
    lines.push_back(frame->filePane()->lineText(i));
  }
  return lines;
}

}  // namespace startup_test
