// The menus as the user meets them: key hints that are text only, the bold
// default entry of the context menus, and the prompts of every entry.
#include <gtk/gtk.h>
#include <wx/menu.h>
#include <wx/uiaction.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "ui/command_ids.h"
#include "ui/menus.h"
#include "ui/status_line.h"
#include "ui/wx_text.h"
#include "window_fixture.h"
#include "window_manager.h"

namespace {

GtkWidget* labelOf(wxMenuItem* item) {
  return gtk_bin_get_child(GTK_BIN(item->GetMenuItem()));
}

// The key the entry's label shows beside its text ("Ctrl+O" is 'o' with the
// control modifier); 0 when none.
guint shownKey(wxMenuItem* item, GdkModifierType* modifiers) {
  guint key = 0;
  *modifiers = static_cast<GdkModifierType>(0);
  GtkWidget* label = labelOf(item);
  if (GTK_IS_ACCEL_LABEL(label)) gtk_accel_label_get_accel(GTK_ACCEL_LABEL(label), &key, modifiers);
  return key;
}

bool drawnBold(wxMenuItem* item) {
  GtkWidget* label = labelOf(item);
  return GTK_IS_LABEL(label) && gtk_label_get_use_markup(GTK_LABEL(label)) &&
         std::string(gtk_label_get_label(GTK_LABEL(label))).rfind("<b>", 0) == 0;
}

TEST_F(WindowTest, KeyHintsAreShownButTheKeysDoNothing) {
  std::string why;
  ASSERT_TRUE(ensureWindowManager(&why)) << why;
  const std::string editorLog = folderPath() + "editor.log";
  const std::string editor = writeFile("editor", "#!/bin/sh\necho \"$@\" >> '" + editorLog + "'\n");
  std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
  writeSettings("Editor=" + editor + "\n");
  open();

  const struct {
    int id;
    guint key;
  } hints[] = {
      {ID_SELECT_FILES, GDK_KEY_o}, {ID_CHECK_ALL, GDK_KEY_s}, {ID_OPEN_EDITOR, GDK_KEY_e}};
  for (const auto& hint : hints) {
    wxMenuItem* item = frame->GetMenuBar()->FindItem(hint.id);
    ASSERT_NE(item, nullptr) << hint.id;
    GdkModifierType modifiers;
    EXPECT_EQ(shownKey(item, &modifiers), hint.key) << fromWx(item->GetItemLabel());
    EXPECT_EQ(modifiers, GDK_CONTROL_MASK) << fromWx(item->GetItemLabel());
    EXPECT_EQ(item->GetAccel(), nullptr) << fromWx(item->GetItemLabel());
  }

  // The keys themselves, pressed in the window with a local file selected:
  // no file dialog, no check, no editor.
  files->AddFile(writeFile("a.htm", "<p>\n"));
  document()->SetModifiedFlag(false);
  frame->Raise();
  files->SetFocus();
  files->selectLine(0);
  ASSERT_TRUE(waitUntil([&] { return frame->IsActive() && wxWindow::FindFocus() != nullptr; }))
      << "the window did not get the focus";
  DialogRecorder dialogs;
  wxUIActionSimulator keyboard;
  for (const char key : {'o', 's', 'e'}) {
    keyboard.Char(key, wxMOD_CONTROL);
    pump();
  }
  // A key the window does answer, sent last, shows that the keys arrived.
  keyboard.Char(WXK_F6);
  ASSERT_TRUE(waitUntil([&] { return frame->activePane() == errors; }))
      << "the simulated keys did not reach the window";
  EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front();
  EXPECT_FALSE(frame->isChecking());
  EXPECT_EQ(errors->lineCount(), 0);
  EXPECT_FALSE(std::filesystem::exists(editorLog));
}

TEST_F(WindowTest, ContextMenusDrawTheirDefaultEntryInBold) {
  open();
  const struct {
    PaneMenu menu;
    int defaultId;
  } menus[] = {{PaneMenu::FileList, ID_CHECK_SELECTED}, {PaneMenu::ErrorList, ID_OPEN_EDITOR}};
  for (const auto& row : menus) {
    std::unique_ptr<wxMenu> menu(createPaneMenu(row.menu));
    int bold = 0;
    for (wxMenuItem* item : menu->GetMenuItems()) {
      if (item->IsSeparator()) continue;
      if (drawnBold(item)) {
        ++bold;
        EXPECT_EQ(item->GetId(), row.defaultId);
        // The mnemonic stays: "このファイルを検査(&C)" answers to C.
        EXPECT_NE(std::string(gtk_label_get_label(GTK_LABEL(labelOf(item)))).find("(_"),
                  std::string::npos);
        EXPECT_NE(gtk_label_get_mnemonic_keyval(GTK_LABEL(labelOf(item))), GDK_KEY_VoidSymbol);
      }
    }
    EXPECT_EQ(bold, 1);
  }
  std::unique_ptr<wxMenu> errorMenu(createPaneMenu(PaneMenu::ErrorList));
  wxMenuItem* copy = errorMenu->FindItem(ID_EDIT_COPY);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(fromWx(copy->GetItemLabel()), "コピー");
}

TEST_F(WindowTest, EveryEntryShowsItsPromptAndClosingAMenuShowsTheIdleText) {
  open();
  const struct {
    int id;
    const char* prompt;
  } rows[] = {
      {ID_BROWSER_01, "ブラウザ01で開く"},
      {ID_BROWSER_01 + 1, "ブラウザ02で開く"},
      {ID_BROWSER_01 + 2, "ブラウザ03で開く"},
      {ID_BROWSER_01 + 3, "ブラウザ04で開く"},
      {ID_BROWSER_01 + 4, ""},
      {ID_BROWSER_10, ""},
      {ID_OPEN_EDITOR, "選択されたファイルをエディタで編集する"},
      {ID_ADD_URI, ""},
      {ID_FILE_NEW, "検査対象ペインから検査対象を取り除く"},
  };
  for (const auto& row : rows) {
    // The browser entries live in a popup, not in the menu bar.
    wxMenuEvent highlight(wxEVT_MENU_HIGHLIGHT, row.id);
    highlight.SetEventObject(frame);
    frame->ProcessWindowEvent(highlight);
    EXPECT_EQ(statusText(), row.prompt) << row.id;
  }
  wxMenuEvent closed(wxEVT_MENU_CLOSE, 0, frame->GetMenuBar()->GetMenu(1));
  closed.SetEventObject(frame);
  frame->ProcessWindowEvent(closed);
  EXPECT_EQ(statusText(), "ﾚﾃﾞｨ");
}

}  // namespace
