// Times the window's panes with large sets, each against a plain wxListBox
// fed the same lines in the same process:
//  - a check started in the window ("全て検査") whose validator reports
//    100,000 errors, until the error pane shows them all while following
//    the newest line, with the run's progress in the status bar; the peer
//    is the same run writing into a plain list box, each line queued to the
//    user-interface thread and appended there (and scrolled into view),
//    which is what a list box needs when a worker writes;
//  - 10,000 targets added to the file pane with AddFile; the peer is a
//    sorted wxListBox appending the same paths.
// While the thread writes, the longest gap between two turns of the event
// loop is the worst stall a user would feel.
#include <wx/app.h>
#include <wx/config.h>
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

#include "engine/check_job.h"
#include "engine/run_sgml.h"
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
  return "onsgmls:/home/user/site/page.html:" + std::to_string(i % 4000 + 1) +
         ":17:E: element \"FOO\" undefined (" + std::to_string(i) + ")";
}

// The peer: a plain list box that a worker can only reach by queuing each
// line to the user-interface thread.
class ListBoxPane : public ErrorPane {
 public:
  explicit ListBoxPane(wxListBox* box) : box_(box) {}
  void ClearLines() override {
    box_->CallAfter([this] { box_->Clear(); });
  }
  void AddLine(const std::string& text, std::unique_ptr<ErrorItem> /*item*/) override {
    box_->CallAfter([this, text] {
      box_->SetFirstItem(box_->Append(toWx(text)));
      ++appended;
    });
  }
  std::atomic<int> appended{0};

 private:
  wxListBox* box_;
};

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
    prepareValidator();
    settings()->Write("Settings/SP Location", toWx(validator_));
    settings()->Flush();
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
  // One document, whose validator copies a prepared error file of 100,000
  // lines into place.
  void prepareValidator() {
    const std::string errorsFile = (folder_ / "errors.txt").string();
    std::FILE* out = std::fopen(errorsFile.c_str(), "w");
    for (int i = 0; i < kErrorLines; ++i) std::fprintf(out, "%s\n", errorLine(i).c_str());
    std::fclose(out);
    validator_ = (folder_ / "validator").string();
    out = std::fopen(validator_.c_str(), "w");
    std::fprintf(out,
                 "#!/bin/sh\nfor a in \"$@\"; do case \"$a\" in -f*) cp '%s' \"${a#-f}\";; "
                 "esac; done\n",
                 errorsFile.c_str());
    std::fclose(out);
    std::filesystem::permissions(validator_, std::filesystem::perms::owner_all);
    page_ = (folder_ / "page.html").string();
    std::fclose(std::fopen(page_.c_str(), "w"));
  }

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

    const std::string& validator = validator_;
    CheckTarget target{TargetKind::File, page_};
    const long expected = kErrorLines + 2;  // the header and the closing line

    // The run alone, into a pane that keeps nothing: what neither pane can
    // go below.
    struct DiscardingPane : ErrorPane {
      void ClearLines() override {}
      void AddLine(const std::string&, std::unique_ptr<ErrorItem>) override {}
    } discarding;
    ErrListView* errors = frame->errorPane();
    RunSgml run;
    CheckJob bare;
    bare.errorPane = &discarding;
    bare.targets = {&target};
    bare.validatorPath = validator;
    const Clock::time_point bareStart = Clock::now();
    run.start(&bare);
    const Figure runAlone = pumpUntil(frame, bareStart, [&] { return !run.isRunning(); });

    // The window's own check, as the user starts it.
    frame->filePane()->AddFile(page_);
    const Clock::time_point paneStart = Clock::now();
    frame->StartCheck(CMainFrame::CheckScope::All);
    const Figure pane = pumpUntil(frame, paneStart, [&] {
      return !frame->isChecking() && errors->shownLineCount() == expected;
    });
    const bool followed =
        errors->followsNewestLine() && errors->GetTopItem() + errors->GetCountPerPage() >= expected;

    CheckJob job;
    job.targets = {&target};
    job.validatorPath = validator;

    ListBoxPane listBox(peer);
    job.errorPane = &listBox;
    const Clock::time_point peerStart = Clock::now();
    run.start(&job);
    const Figure plain = pumpUntil(peerFrame, peerStart, [&] {
      return !run.isRunning() && listBox.appended.load() == expected;
    });

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

    std::printf("error pane, a run of %d error lines:    %.3f s (worst stall %.0f ms)%s\n",
                kErrorLines, pane.seconds, pane.worstStallMs,
                followed ? ", following the newest line" : ", NOT following the newest line");
    std::printf("plain wxListBox peer, the same run:     %.3f s (worst stall %.0f ms)\n",
                plain.seconds, plain.worstStallMs);
    std::printf("ratio peer/pane: %.1f\n", plain.seconds / pane.seconds);
    std::printf(
        "  (the run alone, into a pane that keeps nothing: %.3f s; beyond it the pane\n"
        "   takes %.3f s and the list box %.3f s, ratio %.1f)\n",
        runAlone.seconds, pane.seconds - runAlone.seconds, plain.seconds - runAlone.seconds,
        (plain.seconds - runAlone.seconds) / std::max(1e-6, pane.seconds - runAlone.seconds));
    std::printf("file pane, %d targets by AddFile:      %.3f s\n", kTargets, filePane.seconds);
    std::printf("sorted wxListBox peer, the same paths:  %.3f s\n", sorted.seconds);
    std::printf("ratio peer/pane: %.1f\n", sorted.seconds / filePane.seconds);
    std::fflush(stdout);
    if (errors->lineCount() != expected || files->lineCount() != kTargets + 1) {
      std::printf("FAILED: the panes lost lines\n");
    }
    peerFrame->Destroy();
    discardWindow();
  }

  std::filesystem::path folder_;
  std::string validator_;
  std::string page_;
};

}  // namespace

wxIMPLEMENT_APP(BenchApp);
