#include "window_fixture.h"

#include <wx/msgdlg.h>
#include <wx/utils.h>

#include <cstdlib>

#include "platform/settings_location.h"
#include "tests/support/file_contents.h"
#include "ui/wx_text.h"

void WindowTest::SetUp() {
  temp_ = std::make_unique<test_support::TempFolder>("tessavo-ui-test");
  ASSERT_FALSE(temp_->path().empty());
  folder = temp_->path();
  std::filesystem::create_directories(folder / "config");
  ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
  writeSettings("");
}

void WindowTest::TearDown() {
  close();
  temp_.reset();
}

void WindowTest::writeSettings(const std::string& settingsLines) {
  // HTML5 checking stays off unless the lines name a checker: most tests'
  // documents have no doctype, and a Java start costs seconds.
  const bool html5 = settingsLines.find("HTML5Checker=") != std::string::npos;
  test_support::writeFile(platform::settingsFilePath(),
                          "[Settings]\n" + settingsLines + (html5 ? "" : "\nHTML5Checker=\n"));
  app().openSettings();
}

std::string WindowTest::settingsText() const {
  return test_support::readFile(platform::settingsFilePath());
}

void WindowTest::open(const std::vector<std::string>& arguments) {
  ASSERT_TRUE(app().processCommandLine(arguments));
  frame = app().mainFrame();
  files = frame->filePane();
  errors = frame->errorPane();
  pump();
}

void WindowTest::close() {
  if (frame == nullptr) return;
  if (frame->isChecking()) {
    frame->abortCheck();
    EXPECT_TRUE(waitUntil([this] { return !frame->isChecking(); }, 30000))
        << "a check left running did not stop";
  }
  app().discardWindow();
  frame = nullptr;
  files = nullptr;
  errors = nullptr;
  app().openSettings();
}

std::string WindowTest::writeFile(const std::string& name, const std::string& text) {
  return test_support::writeFile((folder / name).string(), text);
}

bool WindowTest::enabled(int id) {
  wxUpdateUIEvent event(id);
  event.SetEventObject(frame);
  frame->ProcessWindowEvent(event);
  return !event.GetSetEnabled() || event.GetEnabled();
}

bool WindowTest::checked(int id) {
  wxUpdateUIEvent event(id);
  event.SetEventObject(frame);
  frame->ProcessWindowEvent(event);
  return event.GetSetChecked() && event.GetChecked();
}

void WindowTest::command(int id) {
  wxCommandEvent event(wxEVT_MENU, id);
  event.SetEventObject(frame);
  frame->ProcessWindowEvent(event);
}

void WindowTest::pump() {
  for (int i = 0; i < 3; ++i) {
    wxTheApp->ProcessPendingEvents();
    wxYield();
  }
}

bool WindowTest::waitUntil(const std::function<bool()>& done, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 5) {
    pump();
    if (done()) return true;
    wxMilliSleep(5);
  }
  pump();
  return done();
}

void WindowTest::waitForRunEnd() {
  ASSERT_TRUE(waitUntil([this] { return !frame->isChecking(); }, 60000))
      << "the check did not end within a minute";
  ASSERT_TRUE(waitUntil([this] { return errors->shownLineCount() == errors->lineCount(); }))
      << "the error pane did not show the run's " << errors->lineCount() << " lines";
}

std::string WindowTest::caption() const {
  return fromWx(frame->GetTitle());
}

std::string WindowTest::statusText() const {
  return fromWx(frame->GetStatusBar()->GetStatusText(0));
}

int DialogRecorder::Enter(wxDialog* dialog) {
  std::string seen = fromWx(dialog->GetTitle());
  if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) seen += ": " + fromWx(box->GetMessage());
  shown.push_back(seen);
  return wxID_CANCEL;
}
