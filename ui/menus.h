// The window's menus: the menu bar of five popups and the two context menus
// of the panes, with their texts, key hints and status-bar prompts.
// User-interface thread; the caller owns what it is given.
#ifndef TESSAVO_UI_MENUS_H_
#define TESSAVO_UI_MENUS_H_

class wxMenu;
class wxMenuBar;

wxMenuBar* createMainMenuBar();

enum class PaneMenu { FileList, ErrorList };
// The popup "ファイルリスト" or "エラーリスト", its default entry marked.
wxMenu* createPaneMenu(PaneMenu which);

#endif  // TESSAVO_UI_MENUS_H_
