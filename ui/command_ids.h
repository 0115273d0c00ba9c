// The command ids of the window: menu entries, button-bar buttons and
// context-menu entries all send these.
//
// The system numbers its commands from 0x8000 up (32778 for the editor
// command, 57600 for New, ...), but wx accepts only ids below 0x7FFF for
// menu entries and windows. Each id is therefore the system's number less
// 0x8000; the names and their order stay, and nothing outside the window
// sees the numbers.
#ifndef TESSAVO_UI_COMMAND_IDS_H_
#define TESSAVO_UI_COMMAND_IDS_H_

constexpr int commandId(int systemNumber) {
  return systemNumber - 0x8000;
}

constexpr int ID_OPEN_EDITOR = commandId(32778);
constexpr int ID_OPEN_BROWSER = commandId(32779);
constexpr int ID_DROP_START = commandId(32785);
constexpr int ID_SELECT_FILES = commandId(32789);
constexpr int ID_CHECK_ALL = commandId(32790);
constexpr int ID_CHECK_SELECTED = commandId(32791);
constexpr int ID_VIEW_BUTTONBAR = commandId(32792);
constexpr int ID_SET_FONT = commandId(32793);
constexpr int ID_OPTIONS = commandId(32796);
constexpr int ID_BROWSER_01 = commandId(32797);  // ID_BROWSER_01 .. ID_BROWSER_10 are consecutive
constexpr int ID_BROWSER_10 = commandId(32806);
constexpr int ID_CHECK_ABORT = commandId(32807);
constexpr int ID_SELECT_FOLDER = commandId(32808);
constexpr int ID_ADD_URI = commandId(32809);

constexpr int ID_FILE_NEW = commandId(57600);
constexpr int ID_FILE_OPEN = commandId(57601);
constexpr int ID_FILE_SAVE = commandId(57603);
constexpr int ID_FILE_SAVE_AS = commandId(57604);
constexpr int ID_EDIT_CLEAR = commandId(57632);
constexpr int ID_EDIT_COPY = commandId(57634);  // the error pane's "コピー"
constexpr int ID_WINDOW_SPLIT = commandId(57653);
constexpr int ID_APP_ABOUT = commandId(57664);
constexpr int ID_APP_EXIT = commandId(57665);
constexpr int ID_HELP = commandId(57670);
constexpr int ID_NEXT_PANE = commandId(57680);
constexpr int ID_PREV_PANE = commandId(57681);
constexpr int ID_VIEW_STATUS_BAR = commandId(59393);

// Window ids of the frame's parts.
constexpr int AFX_IDW_PANE_FIRST = commandId(59648);  // the splitter
constexpr int IDD_BUTTON_BAR = 103;

#endif  // TESSAVO_UI_COMMAND_IDS_H_
