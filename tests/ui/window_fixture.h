// A fresh main window per test, with the settings in a private folder (never
// the user's), and the means to drive it: commands and their enable rules
// as the menus and buttons see them, waiting for the event loop.
#ifndef TESSAVO_TESTS_UI_WINDOW_FIXTURE_H_
#define TESSAVO_TESTS_UI_WINDOW_FIXTURE_H_

#include <gtest/gtest.h>
#include <wx/modalhook.h>
#include <wx/testing.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

#include "ui/err_list_view.h"
#include "ui/file_list_view.h"
#include "ui/main_frame.h"
#include "ui/tessavo_app.h"
#include "ui/tessavo_doc.h"

// Answers one modal dialog of type T by calling `answer` on it.
template <class T>
class ExpectDialog : public wxExpectModalBase<T, ExpectDialog<T>> {
 public:
  explicit ExpectDialog(std::function<int(T*)> answer) : answer_(std::move(answer)) {}

 protected:
  int OnInvoked(T* dialog) const override { return answer_(dialog); }

 private:
  std::function<int(T*)> answer_;
};

// Every modal dialog shown while it exists is recorded (its title and
// message, when it has one) and answered with cancel, so that a dialog that
// should not appear fails the test instead of waiting for a person.
class DialogRecorder : public wxModalDialogHook {
 public:
  DialogRecorder() { Register(); }
  ~DialogRecorder() override { Unregister(); }
  std::vector<std::string> shown;

 protected:
  int Enter(wxDialog* dialog) override;
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TessavoApp& app() { return static_cast<TessavoApp&>(*wxTheApp); }

  // Writes the profile file before the window opens ("key=value" lines of
  // the section "Settings").
  void writeSettings(const std::string& settingsLines);
  // The profile file's text as it is now.
  std::string settingsText() const;
  // Opens the window with these program arguments.
  void open(const std::vector<std::string>& arguments = {});
  // Closes it without questions; its settings are written.
  void close();

  // A file in the test's folder, written with `text`; its path.
  std::string writeFile(const std::string& name, const std::string& text);

  bool enabled(int id);
  bool checked(int id);
  // Sends the command as a menu entry would (whatever its enable rule says).
  void command(int id);
  // Lets the event loop run until `done` holds or the bound (ms) passed;
  // whether it held.
  bool waitUntil(const std::function<bool()>& done, int milliseconds = 10000);
  void pump();
  // Waits for the end of a run and for the pane to show all of its lines.
  void waitForRunEnd();

  std::string caption() const;
  // The status bar's message field.
  std::string statusText() const;
  TessavoDoc* document() const { return frame->document(); }
  // The test's folder as a path ending with "/".
  std::string folderPath() const { return temp_->path(); }

  CMainFrame* frame = nullptr;
  FileListView* files = nullptr;
  ErrListView* errors = nullptr;
  std::filesystem::path folder;

 private:
  std::unique_ptr<test_support::TempFolder> temp_;
};

#endif  // TESSAVO_TESTS_UI_WINDOW_FIXTURE_H_
