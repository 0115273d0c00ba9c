// The dialogs and the working-set document, driven through the window's
// commands with the modal dialogs answered by the test.
#include <glib.h>
#include <gtk/gtk.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/docview.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/spinctrl.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <cstdlib>
#include <filesystem>

#include "engine/check_job.h"
#include "tests/support/file_contents.h"
#include "ui/about_dlg.h"
#include "ui/command_ids.h"
#include "ui/file_selection_dialog.h"
#include "ui/option_dlg.h"
#include "ui/program_icon.h"
#include "ui/recent_files.h"
#include "ui/select_uri_dlg.h"
#include "ui/working_set_dialog.h"
#include "ui/wx_text.h"
#include "window_fixture.h"
#include "window_manager.h"

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

TEST_F(WindowTest, OptionsShowAndStoreTheNumberOfChecksAtOnce) {
  open();
  // Unset, the field shows the number of cores, and an unchanged value is
  // not stored, so that it keeps following the machine.
  wxTEST_DIALOG(command(ID_OPTIONS), ExpectDialog<OptionDlg>([](OptionDlg* dialog) {
                  dialog->InitDialog();
                  EXPECT_EQ(dialog->jobsField()->GetValue(), defaultCheckJobs());
                  EXPECT_EQ(dialog->jobsField()->GetMin(), 1);
                  EXPECT_EQ(dialog->jobsField()->GetMax(), kMaxCheckJobs);
                  bool labelled = false;
                  for (wxWindow* child : dialog->GetChildren()) {
                    labelled = labelled || fromWx(child->GetLabel()) == "同時に検査する数";
                  }
                  EXPECT_TRUE(labelled);
                  return press(dialog, wxID_OK);
                }));
  EXPECT_EQ(settingsText().find("Jobs"), std::string::npos) << settingsText();

  wxTEST_DIALOG(command(ID_OPTIONS), ExpectDialog<OptionDlg>([](OptionDlg* dialog) {
                  dialog->InitDialog();
                  dialog->jobsField()->SetValue(defaultCheckJobs() + 3);
                  return press(dialog, wxID_OK);
                }));
  EXPECT_EQ(frame->checkJobs(), defaultCheckJobs() + 3);
  EXPECT_NE(settingsText().find("Jobs=" + std::to_string(defaultCheckJobs() + 3)),
            std::string::npos)
      << settingsText();
  close();
  open();
  EXPECT_EQ(frame->checkJobs(), defaultCheckJobs() + 3);
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
  wxTEST_DIALOG(
      command(ID_APP_ABOUT), ExpectDialog<CAboutDlg>([](CAboutDlg* dialog) {
        EXPECT_EQ(fromWx(dialog->GetTitle()), "Tessavoについて");
        bool version = false;
        bool button = false;
        bool icon = false;
        for (wxWindow* child : dialog->GetChildren()) {
          version |= child->GetLabel() == "Tessavo Version 1.30";
          button |= fromWx(child->GetLabel()) == "了解";
          if (auto* picture = dynamic_cast<wxStaticBitmap*>(child)) {
            // The program's own icon, not a stock picture.
            const wxImage shown = picture->GetBitmap().ConvertToImage();
            const wxImage own = programIconBitmap(48).GetBitmap(wxSize(48, 48)).ConvertToImage();
            icon = shown.IsOk() && shown.GetSize() == own.GetSize() &&
                   std::equal(shown.GetData(), shown.GetData() + 48 * 48 * 3, own.GetData());
          }
        }
        EXPECT_TRUE(version);
        EXPECT_TRUE(button);
        EXPECT_TRUE(icon);
        return wxID_OK;
      }));
}

// The working-set file dialog, answered with `path`.
ExpectDialog<WorkingSetDialog> chooseFile(const std::string& path) {
  return ExpectDialog<WorkingSetDialog>([path](WorkingSetDialog* dialog) {
    dialog->choose(toWx(path));
    return wxID_OK;
  });
}

// Whether the keyboard focus of `dialog` is in `field`: a drop-down list
// takes it on a part of its own that wx does not report.
bool holdsFocus(wxDialog* dialog, wxWindow* field) {
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(dialog->GetHandle()));
  return focus != nullptr &&
         (focus == field->GetHandle() || gtk_widget_is_ancestor(focus, field->GetHandle()));
}

TEST_F(WindowTest, OptionsLabelsTakeTheFocusToTheirFields) {
  std::string why;
  ASSERT_TRUE(ensureWindowManager(&why)) << why;
  writeSettings("Editor=vi %f\n");
  open();
  auto* dialog = new OptionDlg(frame);
  // The tab order is the template's: each label, its field, its button.
  std::vector<std::string> order;
  for (wxWindow* child : dialog->GetChildren()) {
    order.push_back(child->GetId() == wxID_ANY || child->GetId() < 0
                        ? fromWx(child->GetLabel())
                        : std::to_string(child->GetId()));
  }
  EXPECT_EQ(order,
            (std::vector<std::string>{"nsgmls.exe(&N)：", "1016", "1017", "エディタ(&E)：", "1014",
                                      "1013", "ブラウザ(&B)：", "1012", "同時に検査する数", "1018",
                                      "HTML5 チェッカー(&H)：", "1019", "1020", "5100", "5101"}));

  dialog->editorCommand = "vi %f";
  dialog->InitDialog();
  dialog->Show();
  dialog->Raise();
  ASSERT_TRUE(waitUntil([&] { return dialog->IsActive() && wxWindow::FindFocus() != nullptr; }))
      << "the dialog did not get the focus";
  DialogRecorder dialogs;
  wxUIActionSimulator keyboard;
  const struct {
    char key;
    wxWindow* field;
  } mnemonics[] = {{'e', dialog->editorField()},
                   {'b', dialog->browserChoice()},
                   {'n', dialog->validatorField()},
                   {'h', dialog->html5CheckerField()}};
  for (const auto& mnemonic : mnemonics) {
    keyboard.Char(mnemonic.key, wxMOD_ALT);
    EXPECT_TRUE(waitUntil([&] { return holdsFocus(dialog, mnemonic.field); }))
        << "Alt+" << mnemonic.key << " did not reach its field";
  }
  // No chooser opened, nothing applied, the dialog still open.
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(dialog->IsShown());
  EXPECT_EQ(frame->editorCommand(), "vi %f");
  EXPECT_EQ(settingsText().find("Browser"), std::string::npos);
  dialog->Destroy();
}

TEST_F(WindowTest, OpenAnsweredNoThenCancelledKeepsTheChangesMarked) {
  open();
  files->AddFile("/d/a.htm");
  ASSERT_EQ(caption(), "無題 * - Tessavo");
  wxTEST_DIALOG(command(ID_FILE_OPEN), wxExpectModal<wxMessageDialog>(wxID_NO),
                wxExpectModal<wxFileDialog>(wxString(), wxID_CANCEL));
  EXPECT_TRUE(document()->IsModified());
  EXPECT_EQ(caption(), "無題 * - Tessavo");
  EXPECT_EQ(files->lineCount(), 1);
  // So New still asks.
  wxTEST_DIALOG(command(ID_FILE_NEW), wxExpectModal<wxMessageDialog>(wxID_CANCEL));
  EXPECT_EQ(files->lineCount(), 1);
}

TEST_F(WindowTest, AdditionsThatMakeNoTargetStillMarkTheSet) {
  open();
  const std::string ftp = writeFile("ftp.url", "[InternetShortcut]\r\nURL=ftp://server/a.html\r\n");
  for (const auto& add : std::vector<std::function<void()>>{
           [&] { files->AddFile(ftp); }, [&] { files->AddUri("gopher://server/"); }}) {
    document()->SetModifiedFlag(false);
    add();
    EXPECT_EQ(files->lineCount(), 0);
    EXPECT_TRUE(document()->IsModified());
    EXPECT_EQ(caption(), "無題 * - Tessavo");
  }
}

TEST_F(WindowTest, SaveAsGivesANameWithoutExtensionTheWorkingSetsOne) {
  open();
  files->AddFile("/d/a.htm");
  const struct {
    const char* typed;
    const char* written;
  } rows[] = {
      {"plainname", "plainname.tvx"}, {"named.tvx", "named.tvx"}, {"other.txt", "other.txt"}};
  for (const auto& row : rows) {
    const std::string typed = folderPath() + row.typed;
    wxString title;
    wxTEST_DIALOG(command(ID_FILE_SAVE_AS),
                  ExpectDialog<WorkingSetDialog>([&](WorkingSetDialog* dialog) {
                    title = dialog->GetMessage();
                    dialog->choose(toWx(typed));
                    return wxID_OK;
                  }));
    EXPECT_EQ(fromWx(title), "名前を付けて保存");
    EXPECT_TRUE(std::filesystem::exists(folderPath() + row.written)) << row.typed;
    EXPECT_EQ(caption(), std::string(row.written) + " - Tessavo");
    EXPECT_EQ(fromWx(document()->GetFilename()), folderPath() + row.written);
  }
  EXPECT_FALSE(std::filesystem::exists(folderPath() + "plainname"));

  // A name whose completed form exists is asked about; "no" writes nothing.
  std::filesystem::remove(folderPath() + "plainname.tvx");
  writeFile("plainname.tvx", "keep");
  wxTEST_DIALOG(command(ID_FILE_SAVE_AS), chooseFile(folderPath() + "plainname"),
                wxExpectModal<wxMessageDialog>(wxNO));
  EXPECT_EQ(test_support::readFile(folderPath() + "plainname.tvx"), "keep");
}

TEST_F(WindowTest, RecentFilesAreWrittenAtOnceWithFullPaths) {
  const std::string set = writeFile("sets/start.tvx", "tvx1\nfile\t/d/a.htm\n");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  open({"sets/start.tvx"});
  std::filesystem::current_path(before);
  // Written when the working set was opened, not only at exit.
  EXPECT_NE(settingsText().find("File1=" + set), std::string::npos) << settingsText();
  EXPECT_EQ(fromWx(document()->GetFilename()), set);

  files->AddFile("/d/b.htm");
  const std::string saved = folderPath() + "saved.tvx";
  wxTEST_DIALOG(command(ID_FILE_SAVE_AS), chooseFile(saved));
  std::string text = settingsText();
  EXPECT_NE(text.find("File1=" + saved), std::string::npos) << text;
  EXPECT_NE(text.find("File2=" + set), std::string::npos) << text;

  // A save under the same name puts it first again.
  ASSERT_TRUE(frame->loadWorkingSet(toWx(set)));
  files->AddFile("/d/c.htm");
  command(ID_FILE_SAVE);
  text = settingsText();
  EXPECT_NE(text.find("File1=" + set), std::string::npos) << text;
  EXPECT_NE(text.find("File2=" + saved), std::string::npos) << text;
}

// Whether the file dialog's chosen filter lets a file of this name through.
bool filterShows(wxFileDialog& dialog, const char* name) {
  GtkFileFilter* filter = gtk_file_chooser_get_filter(GTK_FILE_CHOOSER(dialog.GetHandle()));
  GtkFileFilterInfo file{};
  file.contains = GTK_FILE_FILTER_DISPLAY_NAME;
  file.display_name = name;
  return filter != nullptr && gtk_file_filter_filter(filter, &file);
}

TEST_F(WindowTest, FileDialogsHaveTitlesAndListWorkingSetsInAnyCase) {
  open();
  FileSelectionDialog chooser(frame);
  const gchar* shown = gtk_window_get_title(GTK_WINDOW(chooser.GetHandle()));
  const std::string title = shown != nullptr ? shown : "";
  EXPECT_EQ(title, fromWx(wxGetTranslation("Open File")));
  EXPECT_FALSE(title.empty());

  for (const auto purpose : {WorkingSetDialog::Purpose::Open, WorkingSetDialog::Purpose::SaveAs}) {
    WorkingSetDialog dialog(frame, purpose);
    for (const char* name : {"set.tvx", "SET2.TVX", "Set3.Tvx"}) {
      EXPECT_TRUE(filterShows(dialog, name)) << name;
    }
    for (const char* name : {"set.txt", "tvx", "set.tvx.bak", "set.tv"}) {
      EXPECT_FALSE(filterShows(dialog, name)) << name;
    }
  }
}

TEST_F(WindowTest, StandardDialogsSpeakTheUsersLanguage) {
  // A Japanese locale of the test's own, whatever the machine has made.
  const std::string locales = folderPath() + "locales";
  std::filesystem::create_directories(locales);
  ASSERT_EQ(std::system(
                ("localedef -i ja_JP -f UTF-8 '" + locales + "/ja_JP.UTF-8' 2>/dev/null").c_str()),
            0)
      << "localedef could not make ja_JP.UTF-8";
  ::setenv("LOCPATH", locales.c_str(), 1);
  ::setenv("LANG", "ja_JP.UTF-8", 1);
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"}) ::unsetenv(variable);
  app().initLocale();

  // The toolkit's own texts (the file dialogs' and the message boxes'
  // buttons) and wx's (the standard labels) are Japanese now.
  EXPECT_EQ(std::string(g_dgettext("gtk30", "_Cancel")), "キャンセル(_C)");
  EXPECT_EQ(std::string(g_dgettext("gtk30", "_Save")), "保存(_S)");
  EXPECT_EQ(std::string(g_dgettext("gtk30", "_Yes")), "はい(_Y)");
  EXPECT_EQ(fromWx(wxGetTranslation("&Save")), "保存 (&S)");
  EXPECT_EQ(fromWx(wxGetTranslation("No")), "いいえ");
}

}  // namespace
