// The dialogs and the working-set document, driven through the window's
// commands with the modal dialogs answered by the test.
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

#include "tests/support/file_contents.h"
#include "ui/about_dlg.h"
#include "ui/command_ids.h"
#include "ui/option_dlg.h"
#include "ui/select_uri_dlg.h"
#include "ui/wx_text.h"
#include "window_fixture.h"

namespace {

// Presses the button `id` of a dialog that the test has initialised.
template <class T>
int press(T* dialog, int id) {
  wxCommandEvent click(wxEVT_BUTTON, id);
  click.SetEventObject(dialog);
  dialog->ProcessWindowEvent(click);
  return id;
}

TEST_F(WindowTest, OptionsShowTheStoredValuesAndStoreWhatIsApplied) {
  writeSettings("Browser=2\nEditor=vi %f\nSP Location=/opt/sp/nsgmls\n");
  open();
  wxTEST_DIALOG(command(ID_OPTIONS), ExpectDialog<OptionDlg>([](OptionDlg* dialog) {
                  dialog->InitDialog();
                  EXPECT_EQ(fromWx(dialog->GetTitle()), "オプション");
                  EXPECT_EQ(fromWx(dialog->browserChoice()->GetStringSelection()),
                            "Internet Explorer");
                  EXPECT_EQ(fromWx(dialog->editorField()->GetValue()), "vi %f");
                  EXPECT_EQ(fromWx(dialog->validatorField()->GetValue()), "/opt/sp/nsgmls");
                  dialog->editorField()->ChangeValue("gedit +%l %f");
                  dialog->validatorField()->ChangeValue("");
                  dialog->browserChoice()->SetSelection(0);
                  return press(dialog, wxID_OK);
                }));
  EXPECT_EQ(frame->editorCommand(), "gedit +%l %f");
  EXPECT_EQ(frame->validatorPath(), "");
  EXPECT_EQ(frame->browserChoice(), 0);
  const std::string written = settingsText();
  EXPECT_NE(written.find("Editor=gedit +%l %f"), std::string::npos) << written;
  EXPECT_NE(written.find("Browser=0"), std::string::npos);

  // Cancel after changes leaves the values and the settings as they were.
  wxTEST_DIALOG(command(ID_OPTIONS), ExpectDialog<OptionDlg>([](OptionDlg* dialog) {
                  dialog->InitDialog();
                  dialog->editorField()->ChangeValue("changed");
                  dialog->browserChoice()->SetSelection(1);
                  return press(dialog, wxID_CANCEL);
                }));
  EXPECT_EQ(frame->editorCommand(), "gedit +%l %f");
  EXPECT_EQ(settingsText(), written);
}

TEST_F(WindowTest, OptionsWithAnUnknownBrowserSelectNothingAndHandBackMinusOne) {
  writeSettings("Browser=7\n");
  open();
  wxTEST_DIALOG(command(ID_OPTIONS), ExpectDialog<OptionDlg>([](OptionDlg* dialog) {
                  dialog->InitDialog();
                  EXPECT_EQ(dialog->browserChoice()->GetSelection(), wxNOT_FOUND);
                  EXPECT_EQ(dialog->browserChoice()->GetCount(), 3u);
                  EXPECT_EQ(fromWx(dialog->browserChoice()->GetString(0)), "（指定しない）");
                  return press(dialog, wxID_OK);
                }));
  EXPECT_EQ(frame->browserChoice(), -1);
  EXPECT_NE(settingsText().find("Browser=-1"), std::string::npos);
}

TEST_F(WindowTest, UriDialogAddsTheTextAndClearsOnlyTheErrorPane) {
  open();
  files->AddFile("/d/a.htm");
  errors->AddLine("old", nullptr);
  errors->syncWithModel();
  wxTEST_DIALOG(command(ID_ADD_URI), ExpectDialog<SelectUriDlg>([](SelectUriDlg* dialog) {
                  dialog->InitDialog();
                  EXPECT_EQ(fromWx(dialog->GetTitle()), "検査するURI");
                  dialog->uriField()->ChangeValue("server/x.html");
                  return press(dialog, wxID_OK);
                }));
  ASSERT_EQ(files->lineCount(), 2);
  EXPECT_EQ(files->lineText(1), "http://server/x.html");
  EXPECT_EQ(errors->lineCount(), 0);
  EXPECT_FALSE(frame->isChecking());
  EXPECT_EQ(caption(), "無題 * - Tessavo");

  wxTEST_DIALOG(command(ID_ADD_URI), ExpectDialog<SelectUriDlg>([](SelectUriDlg* dialog) {
                  dialog->InitDialog();
                  dialog->uriField()->ChangeValue("typed, then cancelled");
                  return press(dialog, wxID_CANCEL);
                }));
  EXPECT_EQ(files->lineCount(), 2);
}

TEST_F(WindowTest, UriDialogSaysWhyATextCannotBeAdded) {
  open();
  wxTEST_DIALOG(command(ID_ADD_URI), ExpectDialog<SelectUriDlg>([](SelectUriDlg* dialog) {
                  dialog->InitDialog();
                  dialog->uriField()->ChangeValue("ftp://h/x");
                  EXPECT_FALSE(dialog->TransferDataFromWindow());
                  dialog->uriField()->ChangeValue("HTTPS://h/y");
                  return press(dialog, wxID_OK);
                }),
                ExpectDialog<wxMessageDialog>([](wxMessageDialog* box) {
                  EXPECT_EQ(fromWx(box->GetMessage()),
                            "追加できないURI：ftp://h/x\n"
                            "未知のスキーム：ftp（検査できるのは http、https、file のURIです）");
                  return wxID_OK;
                }));
  ASSERT_EQ(files->lineCount(), 1);
  EXPECT_EQ(files->lineText(0), "HTTPS://h/y");
}

TEST_F(WindowTest, AboutBoxNamesTheProgramAndItsVersion) {
  open();
  wxTEST_DIALOG(command(ID_APP_ABOUT), ExpectDialog<CAboutDlg>([](CAboutDlg* dialog) {
                  EXPECT_EQ(fromWx(dialog->GetTitle()), "Tessavoについて");
                  bool version = false;
                  bool button = false;
                  for (wxWindow* child : dialog->GetChildren()) {
                    version |= child->GetLabel() == "Tessavo Version 1.30";
                    button |= fromWx(child->GetLabel()) == "了解";
                  }
                  EXPECT_TRUE(version);
                  EXPECT_TRUE(button);
                  return wxID_OK;
                }));
}

TEST_F(WindowTest, SavedWorkingSetReadsBackSortedWithTitlesFollowing) {
  open();
  EXPECT_EQ(caption(), "無題 - Tessavo");
  files->AddUri("http://server/b.html");
  files->AddFile("/d/a.htm");
  EXPECT_EQ(caption(), "無題 * - Tessavo");

  // The file dialogs are the toolkit's own; the document is driven where
  // they hand over the chosen path.
  const std::string path = (folder / "set.tvx").string();
  ASSERT_TRUE(document()->OnSaveDocument(toWx(path)));
  EXPECT_EQ(caption(), "set.tvx - Tessavo");
  const std::string written = test_support::readFile(path);
  EXPECT_EQ(written.substr(0, 4), "tvx1");
  EXPECT_NE(written.find("file\t/d/a.htm"), std::string::npos);
  EXPECT_LT(written.find("/d/a.htm"), written.find("http://server/b.html"));

  // New asks nothing for a saved set and empties both panes.
  errors->AddLine("old", nullptr);
  command(ID_FILE_NEW);
  EXPECT_EQ(files->lineCount(), 0);
  EXPECT_EQ(errors->lineCount(), 0);
  EXPECT_EQ(caption(), "無題 - Tessavo");

  // Open starts from an empty working set.
  files->AddFile("/d/z.htm");
  errors->AddLine("old", nullptr);
  document()->SetModifiedFlag(false);
  ASSERT_TRUE(document()->OnOpenDocument(toWx(path)));
  ASSERT_EQ(files->lineCount(), 2);
  EXPECT_EQ(files->lineText(0), "/d/a.htm");
  EXPECT_EQ(files->lineText(1), "http://server/b.html");
  EXPECT_EQ(errors->lineCount(), 0);
  EXPECT_EQ(caption(), "set.tvx - Tessavo");
  EXPECT_FALSE(document()->IsModified());
}

TEST_F(WindowTest, OpeningAFileWithoutTheSignatureChangesNothing) {
  open();
  files->AddFile("/d/a.htm");
  document()->SetModifiedFlag(false);
  const std::string path = writeFile("bad.tvx", "TVX1\nfile\t/d/b.htm\n");
  EXPECT_FALSE(document()->OnOpenDocument(toWx(path)));
  ASSERT_EQ(files->lineCount(), 1);
  EXPECT_EQ(files->lineText(0), "/d/a.htm");
  EXPECT_EQ(caption(), "無題 - Tessavo");
}

TEST_F(WindowTest, NewAsksAboutUnsavedChangesAndCancelKeepsEverything) {
  open();
  files->AddFile("/d/a.htm");
  wxTEST_DIALOG(command(ID_FILE_NEW), ExpectDialog<wxMessageDialog>([](wxMessageDialog* box) {
                  EXPECT_EQ(fromWx(box->GetMessage()), "無題 への変更を保存しますか?");
                  return wxID_CANCEL;
                }));
  EXPECT_EQ(files->lineCount(), 1);
  EXPECT_EQ(caption(), "無題 * - Tessavo");

  wxTEST_DIALOG(command(ID_FILE_NEW), wxExpectModal<wxMessageDialog>(wxNO));
  EXPECT_EQ(files->lineCount(), 0);
  EXPECT_EQ(caption(), "無題 - Tessavo");
}

TEST_F(WindowTest, WorkingSetOnTheCommandLineIsOpenedAndOtherFilesAdded) {
  const std::string set = writeFile("start.TVX", "tvx1\nfile\t/d/a.htm\n");
  open({set, "/d/extra.htm", "/d/ignored.tvx"});
  ASSERT_EQ(files->lineCount(), 2);
  EXPECT_EQ(files->lineText(0), "/d/a.htm");
  EXPECT_EQ(files->lineText(1), "/d/extra.htm");
  EXPECT_EQ(caption(), "start.TVX - Tessavo");
}

}  // namespace
