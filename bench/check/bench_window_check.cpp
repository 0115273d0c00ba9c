// Times the window's own check ("全て検査") of every document in a folder,
// from the command to the moment the error pane shows the run's last line,
// with the validator and the number of jobs given:
//   bench_window_check FOLDER VALIDATOR JOBS
// Prints the seconds, the number of lines and the program's own processor
// time on one line:
//   window: 4.321 s, 1234 lines, 0.456 s of processor time in the program
// Settings live in a private folder; the user's are never read.
#include <wx/app.h>
#include <wx/config.h>
#include <wx/timer.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
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
      std::fprintf(stderr, "usage: bench_window_check FOLDER VALIDATOR JOBS\n");
      return false;
    }
    documents_ = fromWx(argv[1]);
    char pattern[] = "/tmp/tessavo-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return false;
    settingsFolder_ = pattern;
    ::setenv("XDG_CONFIG_HOME", settingsFolder_.c_str(), 1);
    ::setenv("NO_AT_BRIDGE", "1", 0);
    openSettings();
    settings()->Write("Settings/SP Location", argv[2]);
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
  // The event loop runs as it does for a user; a timer looks now and then
  // whether the run has ended, without taking a core from the validators.
  void start() {
    CMainFrame* frame = mainFrame();
    frame->AddFolder(documents_.back() == '/' ? documents_ : documents_ + "/");
    started_ = Clock::now();
    cpuAtStart_ = std::clock();
    frame->StartCheck(CMainFrame::CheckScope::All);
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { lookAtTheRun(); });
    timer_.Start(5);
  }

  void lookAtTheRun() {
    CMainFrame* frame = mainFrame();
    ErrListView* errors = frame->errorPane();
    if (frame->isChecking() || errors->shownLineCount() != errors->lineCount()) return;
    timer_.Stop();
    const double seconds = std::chrono::duration<double>(Clock::now() - started_).count();
    // The program's own processor time (all its threads, not the
    // validators): what the window and the run take beside the validators.
    const double cpu = static_cast<double>(std::clock() - cpuAtStart_) / CLOCKS_PER_SEC;
    std::printf("window: %.3f s, %ld lines, %.3f s of processor time in the program\n", seconds,
                errors->lineCount(), cpu);
    std::fflush(stdout);
    discardWindow();
    ExitMainLoop();
  }

  wxTimer timer_;
  Clock::time_point started_;
  std::clock_t cpuAtStart_ = 0;

  std::string documents_;
  std::filesystem::path settingsFolder_;
};

}  // namespace

wxIMPLEMENT_APP(BenchApp);
