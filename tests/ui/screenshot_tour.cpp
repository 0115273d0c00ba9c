// screenshot_tour: the pictures of the window for the project's pages,
// taken by scripts/screenshot.sh on a virtual display.
//
//   screenshot_tour WORKING_SET RUNNING.png DONE.png
//
// Opens the window with the working set, checks it with the real
// validator, and takes the screen twice: while the third target is being
// checked (the validator is held there, so the progress text and the first
// targets' lines are on screen), and once the run has ended. The profile,
// desktop and runtime folders are the caller's (the script makes temporary
// ones). Exit status 0 when both pictures were written.
#include <wx/app.h>
#include <wx/config.h>
#include <wx/statusbr.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/process.h"
#include "tests/support/held_validator.h"
#include "tests/support/temp_folder.h"
#include "ui/err_list_view.h"
#include "ui/file_list_view.h"
#include "ui/main_frame.h"
#include "ui/tessavo_app.h"
#include "ui/wx_text.h"

namespace {

constexpr auto kBound = std::chrono::seconds(60);

class TourApp : public TessavoApp {
 public:
  bool OnInit() override {
    if (argc != 4) {
      std::fputs("usage: screenshot_tour WORKING_SET RUNNING.png DONE.png\n", stderr);
      return false;
    }
    workingSet_ = fromWx(argv[1]);
    running_ = fromWx(argv[2]);
    done_ = fromWx(argv[3]);
    initLocale();
    openSettings();
    SetExitOnFrameDelete(false);
    CallAfter([this] {
      result_ = tour() ? 0 : 1;
      discardWindow();
      ExitMainLoop();
    });
    return true;
  }

  int OnRun() override {
    TessavoApp::OnRun();
    return result_;
  }

 private:
  // Turns the event loop until `done` or the bound; whether it held.
  bool waitFor(const std::function<bool()>& done, const char* what) {
    const auto end = std::chrono::steady_clock::now() + kBound;
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) {
        std::fprintf(stderr, "screenshot_tour: %s did not happen within a minute\n", what);
        return false;
      }
      Yield(true);
      ProcessPendingEvents();
      wxMilliSleep(10);
    }
    // The enable rules and the painting catch up, so that the picture shows
    // what is there.
    ProcessIdle();
    if (wxWindow* window = GetTopWindow()) {
      window->UpdateWindowUI(wxUPDATE_UI_RECURSE);
      window->Refresh();
      window->Update();
    }
    // The toolkit paints on its frame clock, which gives no word when it is
    // done; a few frames' time is enough for a picture.
    const auto painted = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (std::chrono::steady_clock::now() < painted) {
      Yield(true);
      wxMilliSleep(10);
    }
    return true;
  }

  bool takePicture(const std::string& path) {
    const std::string command = "import -window root '" + path + "'";
    if (std::system(command.c_str()) != 0 || !std::filesystem::exists(path)) {
      std::fprintf(stderr, "screenshot_tour: cannot write %s (ImageMagick's import)\n",
                   path.c_str());
      return false;
    }
    return true;
  }

  bool tour() {
    // The real validator checks every document; the third waits until the
    // first picture is taken.
    test_support::HeldValidator validator(
        folder_.path(), 2, platform::findProgram(platform::defaultValidatorProgram()));
    settings()->Write("Settings/SP Location", toWx(validator.path()));
    settings()->Flush();
    if (!processCommandLine({workingSet_})) return false;
    CMainFrame* frame = mainFrame();
    if (!waitFor([&] { return frame->IsShownOnScreen(); }, "showing the window")) return false;
    frame->StartCheck(CMainFrame::CheckScope::All);
    if (!waitFor([&] { return frame->errorPane()->progress().targets == 3; },
                 "reaching the third target")) {
      return false;
    }
    if (!takePicture(running_)) return false;
    validator.release();
    if (!waitFor([&] { return !frame->isChecking(); }, "the end of the check")) return false;
    if (!waitFor(
            [&] { return frame->errorPane()->shownLineCount() == frame->errorPane()->lineCount(); },
            "showing every line")) {
      return false;
    }
    return takePicture(done_);
  }

  std::string workingSet_;
  std::string running_;
  std::string done_;
  test_support::TempFolder folder_{"tessavo-tour"};
  int result_ = 1;
};

}  // namespace

wxIMPLEMENT_APP(TourApp);
