// Times the window's panes with large sets, each against a plain wxListBox
// fed the same lines in the same process:
//  - 100,000 error lines written by a checking thread through the error
//    pane's AddLine, until the pane shows them all; the peer gets each line
//    queued to the user-interface thread and appended there, which is what a
//    list box needs when a worker writes into it;
//  - 10,000 targets added to the file pane with AddFile; the peer is a
//    sorted wxListBox appending the same paths.
// While the thread writes, the longest gap between two turns of the event
// loop is the worst stall a user would feel.
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/utils.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ui/err_list_view.h"
#include "ui/file_list_view.h"
#include "ui/main_frame.h"
#include "ui/tessavo_app.h"
#include "ui/wx_text.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kErrorLines = 100000;
constexpr int kTargets = 10000;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string errorLine(int i) {
  return "onsgmls:/home/user/site/page" + std::to_string(i % 500) +
         ".html:" + std::to_string(i % 4000 + 1) + ":17:E: element \"FOO\" undefined (" +
         std::to_string(i) + ")";
}

struct Figure {
  double seconds;
  double worstStallMs;
};

// Turns the event loop until `done`, repainting the window each turn.
Figure pumpUntil(wxWindow* window, Clock::time_point start, const std::function<bool()>& done) {
  double worst = 0;
  Clock::time_point last = Clock::now();
  while (!done()) {
    wxTheApp->Yield(true);
    window->Update();
    const Clock::time_point now = Clock::now();
    worst = std::max(worst, std::chrono::duration<double, std::milli>(now - last).count());
    last = now;
    if (secondsSince(start) > 600) break;
  }
  return {secondsSince(start), worst};
}

class BenchApp : public TessavoApp {
 public:
  bool OnInit() override {
    char pattern[] = "/tmp/tessavo-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return false;
    folder_ = pattern;
    ::setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
    ::setenv("NO_AT_BRIDGE", "1", 0);
    openSettings();
    if (!processCommandLine({})) return false;
    SetExitOnFrameDelete(false);
    CallAfter([this] {
      run();
      ExitMainLoop();
    });
    return true;
  }

  int OnExit() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    return TessavoApp::OnExit();
  }

 private:
  void run() {
    CMainFrame* frame = mainFrame();
    frame->SetSize(0, 0, 900, 640);
    auto* peerFrame = new wxFrame(nullptr, wxID_ANY, "peer", wxPoint(0, 0), wxSize(900, 640));
    auto* peer = new wxListBox(peerFrame, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                               wxLB_SINGLE | wxLB_HSCROLL | wxLB_NEEDED_SB);
    peerFrame->Show();
    auto* sortedPeer = new wxListBox(peerFrame, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0,
                                     nullptr, wxLB_SINGLE | wxLB_SORT | wxLB_HSCROLL);
    sortedPeer->Hide();

    // Error pane.
    ErrListView* errors = frame->errorPane();
    const Clock::time_point paneStart = Clock::now();
    std::thread writer([errors] {
      errors->ClearLines();
      for (int i = 0; i < kErrorLines; ++i) errors->AddLine(errorLine(i), nullptr);
    });
    const Figure pane =
        pumpUntil(frame, paneStart, [&] { return errors->shownLineCount() == kErrorLines; });
    writer.join();

    std::atomic<int> appended{0};
    const Clock::time_point peerStart = Clock::now();
    std::thread peerWriter([&] {
      for (int i = 0; i < kErrorLines; ++i) {
        const std::string text = errorLine(i);
        peer->CallAfter([peer, text, &appended] {
          peer->Append(toWx(text));
          ++appended;
        });
      }
    });
    const Figure plain =
        pumpUntil(peerFrame, peerStart, [&] { return appended.load() == kErrorLines; });
    peerWriter.join();

    // File pane.
    std::vector<std::string> paths;
    for (int i = 0; i < kTargets; ++i) {
      paths.push_back("/home/user/site/" + std::string(i % 2 ? "Dir" : "dir") +
                      std::to_string(i % 37) + "/page" + std::to_string(i) + ".html");
    }
    std::shuffle(paths.begin(), paths.end(), std::mt19937(1));
    FileListView* files = frame->filePane();
    const Clock::time_point filesStart = Clock::now();
    for (const std::string& path : paths) files->AddFile(path);
    const Figure filePane = pumpUntil(frame, filesStart, [] { return true; });

    sortedPeer->Show();
    const Clock::time_point sortedStart = Clock::now();
    for (const std::string& path : paths) sortedPeer->Append(toWx(path));
    const Figure sorted = pumpUntil(peerFrame, sortedStart, [] { return true; });

    std::printf("error pane, %d lines from a checking thread: %.3f s (worst stall %.0f ms)\n",
                kErrorLines, pane.seconds, pane.worstStallMs);
    std::printf("plain wxListBox peer, same lines:            %.3f s (worst stall %.0f ms)\n",
                plain.seconds, plain.worstStallMs);
    std::printf("ratio peer/pane: %.1f\n", plain.seconds / pane.seconds);
    std::printf("file pane, %d targets by AddFile:           %.3f s\n", kTargets, filePane.seconds);
    std::printf("sorted wxListBox peer, same paths:           %.3f s\n", sorted.seconds);
    std::printf("ratio peer/pane: %.1f\n", sorted.seconds / filePane.seconds);
    std::fflush(stdout);
    if (errors->lineCount() != kErrorLines || files->lineCount() != kTargets) {
      std::printf("FAILED: the panes lost lines\n");
    }
    peerFrame->Destroy();
    discardWindow();
  }

  std::filesystem::path folder_;
};

}  // namespace

wxIMPLEMENT_APP(BenchApp);
