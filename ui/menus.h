// The window's menus: the menu bar of five popups and the two context menus
// of the panes, with their texts, key hints and status-bar prompts.
//
// Key hints ("Ctrl+O", "Ctrl+S", "Ctrl+E", "Ctrl+C") are shown beside their
// entries without binding the keys: the program has no such shortcuts, and
// the hints are text only. The default entry of a context menu (the one a
// double click on the pane carries out) is drawn in bold. Both are done
// through GTK on this platform; elsewhere the entries show plain labels.
//
// User-interface thread; the caller owns what it is given.
#ifndef TESSAVO_UI_MENUS_H_
#define TESSAVO_UI_MENUS_H_

#include <wx/string.h>

class wxMenu;
class wxMenuBar;
class wxMenuItem;

wxMenuBar* createMainMenuBar();

enum class PaneMenu { FileList, ErrorList };
// The popup "ファイルリスト" or "エラーリスト", its default entry marked.
wxMenu* createPaneMenu(PaneMenu which);

// The status-bar prompt of a command (empty for a command without one).
wxString commandPrompt(int id);

// Appends an entry to a menu with its prompt.
wxMenuItem* appendCommand(wxMenu* menu, int id, const wxString& label);

#endif  // TESSAVO_UI_MENUS_H_
