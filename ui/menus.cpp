#include "ui/menus.h"

#include <wx/menu.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include "ui/command_ids.h"

namespace {

struct Prompt {
  int id;
  const char* text;
};

constexpr Prompt kPrompts[] = {
    {ID_FILE_NEW, "検査対象ペインから検査対象を取り除く"},
    {ID_FILE_OPEN, "既存のﾌｧｲﾙを開く"},
    {ID_FILE_SAVE, "作業中のﾌｧｲﾙを保存"},
    {ID_FILE_SAVE_AS, "作業中のﾌｧｲﾙに名前を付けて保存"},
    {ID_APP_EXIT, "Tessavoを終了する。"},
    {ID_SELECT_FILES, "検査するファイルを選びます。"},
    {ID_SELECT_FOLDER, "フォルダ内のHTMLファイルを全て調べる"},
    {ID_EDIT_CLEAR, "選択範囲を消去"},
    {ID_CHECK_ALL, "ファイル一覧の全てのファイルを検査します。"},
    {ID_OPEN_EDITOR, "選択されたファイルをエディタで編集する"},
    {ID_OPEN_BROWSER, "選択されたファイルをブラウザで閲覧する"},
    {ID_BROWSER_01, "ブラウザ01で開く"},
    {ID_BROWSER_01 + 1, "ブラウザ02で開く"},
    {ID_BROWSER_01 + 2, "ブラウザ03で開く"},
    {ID_BROWSER_01 + 3, "ブラウザ04で開く"},
    {ID_VIEW_STATUS_BAR, "ｽﾃｰﾀｽ ﾊﾞｰの表示/非表示"},
    {ID_WINDOW_SPLIT, "ファイル一覧ペイン，エラーペインの境界を移動する"},
    {ID_SET_FONT, "ファイル一覧，エラー表示に使うフォントを選びます。"},
    {ID_DROP_START, "ファイル選択，ドロップで検査を開始します。"},
    {ID_APP_ABOUT, "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示"},
};

struct Entry {
  int id;  // 0 for a separator
  const char* text;
  wxItemKind kind = wxITEM_NORMAL;
  char ctrlHint = 0;  // the letter of a "Ctrl+" hint shown beside the text
};

constexpr Entry kSeparator{0, ""};

void showKeyHint(wxMenuItem* item, char letter) {
#ifdef __WXGTK__
  // The label shows the hint; no accelerator is added anywhere, so the key
  // itself does nothing.
  GtkWidget* label = gtk_bin_get_child(GTK_BIN(item->GetMenuItem()));
  if (GTK_IS_ACCEL_LABEL(label)) {
    gtk_accel_label_set_accel(GTK_ACCEL_LABEL(label), gdk_unicode_to_keyval(letter),
                              GDK_CONTROL_MASK);
  }
#else
  (void)item;
  (void)letter;
#endif
}

void markDefault(wxMenu* menu, int id) {
#ifdef __WXGTK__
  wxMenuItem* item = menu->FindItem(id);
  if (item == nullptr) return;
  GtkWidget* label = gtk_bin_get_child(GTK_BIN(item->GetMenuItem()));
  if (!GTK_IS_LABEL(label)) return;
  // The label keeps its mnemonic: "&" becomes GTK's "_", a literal "_" is
  // doubled, and the text is escaped for the markup.
  wxString mnemonic;
  for (const wxUniChar c : item->GetItemLabel()) {
    if (c == '&') {
      mnemonic += '_';
    } else if (c == '_') {
      mnemonic += "__";
    } else {
      mnemonic += c;
    }
  }
  gchar* escaped = g_markup_escape_text(mnemonic.utf8_str(), -1);
  gtk_label_set_markup_with_mnemonic(
      GTK_LABEL(label), (wxString("<b>") + wxString::FromUTF8(escaped) + "</b>").utf8_str());
  g_free(escaped);
#else
  (void)menu;
  (void)id;
#endif
}

wxMenu* buildMenu(std::initializer_list<Entry> entries) {
  auto* menu = new wxMenu;
  for (const Entry& entry : entries) {
    if (entry.id == 0) {
      menu->AppendSeparator();
      continue;
    }
    wxMenuItem* item =
        menu->Append(entry.id, wxString::FromUTF8(entry.text), commandPrompt(entry.id), entry.kind);
    if (entry.ctrlHint != 0) showKeyHint(item, entry.ctrlHint);
  }
  return menu;
}

}  // namespace

wxString commandPrompt(int id) {
  for (const Prompt& prompt : kPrompts) {
    if (prompt.id == id) return wxString::FromUTF8(prompt.text);
  }
  return wxString();
}

wxMenuItem* appendCommand(wxMenu* menu, int id, const wxString& label) {
  return menu->Append(id, label, commandPrompt(id));
}

wxMenuBar* createMainMenuBar() {
  auto* bar = new wxMenuBar;
  bar->Append(buildMenu({
                  {ID_FILE_NEW, "新規作成(&N)"},
                  {ID_FILE_OPEN, "開く(&O)..."},
                  kSeparator,
                  {ID_FILE_SAVE, "上書き保存(&S)"},
                  {ID_FILE_SAVE_AS, "別名で保存(&A)..."},
                  kSeparator,
                  {ID_APP_EXIT, "閉じる(&X)"},
              }),
              wxString::FromUTF8("ファイル(&F)"));
  bar->Append(buildMenu({
                  {ID_SELECT_FILES, "ファイル選択(&O)...", wxITEM_NORMAL, 'o'},
                  {ID_SELECT_FOLDER, "フォルダ選択(&F)..."},
                  {ID_ADD_URI, "検査URIを追加(&U)..."},
                  kSeparator,
                  {ID_EDIT_CLEAR, "検査対象から外す(&D)"},
                  kSeparator,
                  {ID_CHECK_ALL, "全て検査(&A)", wxITEM_NORMAL, 's'},
                  {ID_CHECK_SELECTED, "選択されたファイルを検査(&S)"},
                  kSeparator,
                  {ID_OPEN_EDITOR, "エディタで開く(&E)", wxITEM_NORMAL, 'e'},
                  {ID_OPEN_BROWSER, "ブラウザで開く(&B)"},
              }),
              wxString::FromUTF8("編集(&E)"));
  bar->Append(buildMenu({
                  {ID_VIEW_BUTTONBAR, "ツールバー(&T)", wxITEM_CHECK},
                  {ID_VIEW_STATUS_BAR, "ステータスバー(&S)", wxITEM_CHECK},
                  {ID_WINDOW_SPLIT, "ペイン境界の移動(&P)"},
                  kSeparator,
                  {ID_SET_FONT, "フォント(&F)..."},
              }),
              wxString::FromUTF8("表示(&V)"));
  bar->Append(buildMenu({
                  {ID_DROP_START, "ファイル選択で検査開始(&D)", wxITEM_CHECK},
                  kSeparator,
                  {ID_OPTIONS, "オプション(&O)..."},
              }),
              wxString::FromUTF8("設定(&S)"));
  // F1 is the one key of the menus that is bound.
  bar->Append(buildMenu({
                  {ID_HELP, "目次\tF1"},
                  kSeparator,
                  {ID_APP_ABOUT, "Tessavoについて(&A)..."},
              }),
              wxString::FromUTF8("ヘルプ(&H)"));
  return bar;
}

wxMenu* createPaneMenu(PaneMenu which) {
  wxMenu* menu = nullptr;
  if (which == PaneMenu::FileList) {
    menu = buildMenu({
        {ID_CHECK_SELECTED, "このファイルを検査(&C)"},
        {ID_CHECK_ALL, "全て検査(&A)"},
        kSeparator,
        {ID_OPEN_EDITOR, "エディタで開く(&E)"},
        {ID_OPEN_BROWSER, "ブラウザで開く(&B)"},
        kSeparator,
        {ID_EDIT_CLEAR, "検査対象から外す(&D)"},
    });
    markDefault(menu, ID_CHECK_SELECTED);
  } else {
    menu = buildMenu({
        {ID_CHECK_SELECTED, "このファイルを検査(&C)"},
        {ID_OPEN_EDITOR, "エディタで開く(&E)"},
        kSeparator,
        {ID_EDIT_COPY, "コピー", wxITEM_NORMAL, 'c'},
    });
    markDefault(menu, ID_OPEN_EDITOR);
  }
  return menu;
}
