// Runs the window tests inside the application's own event loop, so that
// CallAfter, queued events and modal-dialog hooks behave as in the program.
// Listing the tests (as CTest does at build time) needs no display.
#include <gtest/gtest.h>
#include <wx/app.h>

#include <cstdlib>

#include "ui/tessavo_app.h"

namespace {

// A failed wx assertion would open a dialog nobody answers; it fails the
// test instead.
void failOnAssert(const wxString& file, int line, const wxString& function,
                  const wxString& condition, const wxString& message) {
  ADD_FAILURE_AT(file.utf8_str().data(), line)
      << "wx assertion " << condition.utf8_str().data() << " in " << function.utf8_str().data()
      << ": " << message.utf8_str().data();
}

class GuiTestApp : public TessavoApp {
 public:
  bool OnInit() override {
    // Tests close windows one after another; the loop must outlive them.
    SetExitOnFrameDelete(false);
    wxSetAssertHandler(failOnAssert);
    CallAfter([this] {
      result_ = RUN_ALL_TESTS();
      ExitMainLoop();
    });
    return true;
  }
  int OnRun() override {
    TessavoApp::OnRun();
    return result_;
  }

 private:
  int result_ = 1;
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(GuiTestApp);

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  ::setenv("NO_AT_BRIDGE", "1", 0);
  int wxArgc = 1;
  char* wxArgv[] = {argv[0], nullptr};
  return wxEntry(wxArgc, wxArgv);
}
