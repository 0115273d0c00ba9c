// An HTML5 page checked by the real HTML5 checker in the window: its error
// lines take the editor to their line, as the SGML validator's do.
#include <gtest/gtest.h>
#include <wx/listctrl.h>

#include <filesystem>
#include <fstream>

#include "ui/main_frame.h"
#include "window_fixture.h"

namespace {

const std::string kJar = TESSAVO_BINARY_DIR "/bin/vnu.jar";

TEST_F(WindowTest, DoubleClickOnAnHtml5ErrorLineOpensTheEditorAtThatLine) {
  if (!std::filesystem::exists(kJar)) GTEST_SKIP() << kJar << " is missing";
  const std::string log = (folder / "editor.log").string();
  const std::string editor = writeFile("editor", "#!/bin/sh\necho \"$@\" >> " + log + "\n");
  std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
  writeSettings("Editor=" + editor + " %l %f\nHTML5Checker=" + kJar + "\n");
  open();
  const std::string page = writeFile("page.html",
                                     "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n"
                                     "<meta charset=\"utf-8\"><title>t</title>\n</head>\n"
                                     "<body>\n<p>fine</p>\n<div><span>x</div>\n</body>\n</html>\n");
  files->AddFile(page);
  frame->StartCheck(CMainFrame::CheckScope::All);
  waitForRunEnd();

  long errorLine = -1;
  for (long i = 0; i < errors->lineCount(); ++i) {
    if (errors->lineText(i).rfind("8:", 0) == 0) errorLine = i;
  }
  ASSERT_NE(errorLine, -1) << "no message on line 8 of the page";
  wxListEvent event(wxEVT_LIST_ITEM_ACTIVATED, errors->GetId());
  event.m_itemIndex = errorLine;
  event.SetEventObject(errors);
  errors->GetEventHandler()->ProcessEvent(event);
  EXPECT_TRUE(waitUntil([&] {
    std::ifstream in(log);
    std::string line;
    return std::getline(in, line) && line == "8 " + page;
  })) << errors->lineText(errorLine);
}

}  // namespace
