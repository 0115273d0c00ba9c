#include "ui/menus.h"

#include <wx/menu.h>

#include "ui/command_ids.h"

namespace {

struct Entry {
  int id;  // 0 for a separator
  const char* text;
  const char* prompt;
  wxItemKind kind;
};

wxMenu* buildMenu(std::initializer_list<Entry> entries) {
  auto* menu = new wxMenu;
  for (const Entry& entry : entries) {
    if (entry.id == 0) {
      menu->AppendSeparator();
    } else {
      menu->Append(entry.id, wxString::FromUTF8(entry.text), wxString::FromUTF8(entry.prompt),
                   entry.kind);
    }
  }
  return menu;
}

constexpr Entry kSeparator{0, "", "", wxITEM_NORMAL};

// The default entry is the one a double click on the pane carries out. GTK
// menus have no default-entry style and wx cannot draw one entry in bold
// there, so it stays unmarked on this platform.
void markDefault(wxMenu* /*menu*/, int /*id*/) {}

}  // namespace

wxMenuBar* createMainMenuBar() {
  auto* bar = new wxMenuBar;
  bar->Append(
      buildMenu({
          {ID_FILE_NEW, "新規作成(&N)", "検査対象ペインから検査対象を取り除く", wxITEM_NORMAL},
          {ID_FILE_OPEN, "開く(&O)...", "既存のﾌｧｲﾙを開く", wxITEM_NORMAL},
          kSeparator,
          {ID_FILE_SAVE, "上書き保存(&S)", "作業中のﾌｧｲﾙを保存", wxITEM_NORMAL},
          {ID_FILE_SAVE_AS, "別名で保存(&A)...", "作業中のﾌｧｲﾙに名前を付けて保存", wxITEM_NORMAL},
          kSeparator,
          {ID_APP_EXIT, "閉じる(&X)", "Tessavoを終了する。", wxITEM_NORMAL},
      }),
      wxString::FromUTF8("ファイル(&F)"));
  bar->Append(buildMenu({
                  {ID_SELECT_FILES, "ファイル選択(&O)...\tCtrl+O", "検査するファイルを選びます。",
                   wxITEM_NORMAL},
                  {ID_SELECT_FOLDER, "フォルダ選択(&F)...", "フォルダ内のHTMLファイルを全て調べる",
                   wxITEM_NORMAL},
                  {ID_ADD_URI, "検査URIを追加(&U)...", "", wxITEM_NORMAL},
                  kSeparator,
                  {ID_EDIT_CLEAR, "検査対象から外す(&D)", "選択範囲を消去", wxITEM_NORMAL},
                  kSeparator,
                  {ID_CHECK_ALL, "全て検査(&A)\tCtrl+S",
                   "ファイル一覧の全てのファイルを検査します。", wxITEM_NORMAL},
                  {ID_CHECK_SELECTED, "選択されたファイルを検査(&S)", "", wxITEM_NORMAL},
                  kSeparator,
                  {ID_OPEN_EDITOR, "エディタで開く(&E)\tCtrl+E",
                   "選択されたファイルをエディタで編集する", wxITEM_NORMAL},
                  {ID_OPEN_BROWSER, "ブラウザで開く(&B)", "選択されたファイルをブラウザで閲覧する",
                   wxITEM_NORMAL},
              }),
              wxString::FromUTF8("編集(&E)"));
  bar->Append(
      buildMenu({
          {ID_VIEW_BUTTONBAR, "ツールバー(&T)", "", wxITEM_CHECK},
          {ID_VIEW_STATUS_BAR, "ステータスバー(&S)", "ｽﾃｰﾀｽ ﾊﾞｰの表示/非表示", wxITEM_CHECK},
          {ID_WINDOW_SPLIT, "ペイン境界の移動(&P)",
           "ファイル一覧ペイン，エラーペインの境界を移動する", wxITEM_NORMAL},
          kSeparator,
          {ID_SET_FONT, "フォント(&F)...", "ファイル一覧，エラー表示に使うフォントを選びます。",
           wxITEM_NORMAL},
      }),
      wxString::FromUTF8("表示(&V)"));
  bar->Append(buildMenu({
                  {ID_DROP_START, "ファイル選択で検査開始(&D)",
                   "ファイル選択，ドロップで検査を開始します。", wxITEM_CHECK},
                  kSeparator,
                  {ID_OPTIONS, "オプション(&O)...", "", wxITEM_NORMAL},
              }),
              wxString::FromUTF8("設定(&S)"));
  bar->Append(buildMenu({
                  {ID_HELP, "目次\tF1", "", wxITEM_NORMAL},
                  kSeparator,
                  {ID_APP_ABOUT, "Tessavoについて(&A)...",
                   "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示", wxITEM_NORMAL},
              }),
              wxString::FromUTF8("ヘルプ(&H)"));
  return bar;
}

wxMenu* createPaneMenu(PaneMenu which) {
  wxMenu* menu = nullptr;
  if (which == PaneMenu::FileList) {
    menu = buildMenu({
        {ID_CHECK_SELECTED, "このファイルを検査(&C)", "", wxITEM_NORMAL},
        {ID_CHECK_ALL, "全て検査(&A)", "ファイル一覧の全てのファイルを検査します。", wxITEM_NORMAL},
        kSeparator,
        {ID_OPEN_EDITOR, "エディタで開く(&E)", "選択されたファイルをエディタで編集する",
         wxITEM_NORMAL},
        {ID_OPEN_BROWSER, "ブラウザで開く(&B)", "選択されたファイルをブラウザで閲覧する",
         wxITEM_NORMAL},
        kSeparator,
        {ID_EDIT_CLEAR, "検査対象から外す(&D)", "選択範囲を消去", wxITEM_NORMAL},
    });
    markDefault(menu, ID_CHECK_SELECTED);
  } else {
    menu = buildMenu({
        {ID_CHECK_SELECTED, "このファイルを検査(&C)", "", wxITEM_NORMAL},
        {ID_OPEN_EDITOR, "エディタで開く(&E)", "選択されたファイルをエディタで編集する",
         wxITEM_NORMAL},
    });
    markDefault(menu, ID_OPEN_EDITOR);
  }
  return menu;
}
