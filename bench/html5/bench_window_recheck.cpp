// Times the window's check ("全て検査") of every document in a folder twice
// in one window, with the HTML5 checker given: the first run pays the
// checker's start, the second finds it warm, as a user's re-check does.
//   bench_window_recheck FOLDER VNU_JAR JOBS
// Prints one line:
//   window: first 12.345 s, warm re-check 5.678 s, 1234 lines
// Settings live in a private folder; the user's are never read.
#include <wx/app.h>
#include <wx/config.h>
#include <wx/timer.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ui/err_list_view.h"
#include "ui/file_list_view.h"
#include "ui/main_frame.h"
#include "ui/tessavo_app.h"
#include "ui/wx_text.h"

namespace {

using Clock = std::chrono::steady_clock;

class BenchApp : public TessavoApp {
 public:
  bool OnInit() override {
    if (argc != 4) {
      std::fprintf(stderr, "usage: bench_window_recheck FOLDER VNU_JAR JOBS\n");
      return false;
    }
    documents_ = fromWx(argv[1]);
    char pattern[] = "/tmp/tessavo-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return false;
    settingsFolder_ = pattern;
    ::setenv("XDG_CONFIG_HOME", settingsFolder_.c_str(), 1);
    ::setenv("NO_AT_BRIDGE", "1", 0);
    openSettings();
    settings()->Write("Settings/HTML5Checker", argv[2]);
    settings()->Write("Settings/Jobs", argv[3]);
    settings()->Flush();
    if (!processCommandLine({})) return false;
    SetExitOnFrameDelete(false);
    CallAfter([this] { start(); });
    return true;
  }

  int OnExit() override {
    std::error_code ignored;
    std::filesystem::remove_all(settingsFolder_, ignored);
    return TessavoApp::OnExit();
  }

 private:
  void start() {
    mainFrame()->AddFolder(documents_.back() == '/' ? documents_ : documents_ + "/");
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { lookAtTheRun(); });
    check();
  }

  void check() {
    started_ = Clock::now();
    mainFrame()->StartCheck(CMainFrame::CheckScope::All);
    timer_.Start(5);
  }

  // A timer looks now and then whether the run has ended, without taking a
  // core from the checker.
  void lookAtTheRun() {
    CMainFrame* frame = mainFrame();
    ErrListView* errors = frame->errorPane();
    if (frame->isChecking() || errors->shownLineCount() != errors->lineCount()) return;
    timer_.Stop();
    const double seconds = std::chrono::duration<double>(Clock::now() - started_).count();
    if (first_ < 0) {
      first_ = seconds;
      CallAfter([this] { check(); });
      return;
    }
    std::printf("window: first %.3f s, warm re-check %.3f s, %ld lines\n", first_, seconds,
                errors->lineCount());
    std::fflush(stdout);
    discardWindow();
    ExitMainLoop();
  }

  wxTimer timer_;
  Clock::time_point started_;
  double first_ = -1;

  std::string documents_;
  std::filesystem::path settingsFolder_;
};

}  // namespace

wxIMPLEMENT_APP(BenchApp);
