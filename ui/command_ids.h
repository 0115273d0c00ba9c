// The command ids of the window: menu entries, button-bar buttons and
// context-menu entries all send these. The numbers are the system's own and
// stay the same on every platform.
#ifndef TESSAVO_UI_COMMAND_IDS_H_
#define TESSAVO_UI_COMMAND_IDS_H_

constexpr int ID_OPEN_EDITOR = 32778;
constexpr int ID_DROP_START = 32785;
constexpr int ID_SELECT_FILES = 32789;
constexpr int ID_CHECK_ALL = 32790;
constexpr int ID_CHECK_SELECTED = 32791;
constexpr int ID_VIEW_BUTTONBAR = 32792;
constexpr int ID_SET_FONT = 32793;
constexpr int ID_OPTIONS = 32796;
constexpr int ID_OPEN_BROWSER = 32779;
constexpr int ID_BROWSER_01 = 32797;  // ID_BROWSER_01 .. ID_BROWSER_10 are consecutive
constexpr int ID_BROWSER_10 = 32806;
constexpr int ID_CHECK_ABORT = 32807;
constexpr int ID_SELECT_FOLDER = 32808;
constexpr int ID_ADD_URI = 32809;

constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_EDIT_CLEAR = 57632;
constexpr int ID_WINDOW_SPLIT = 57653;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_HELP = 57670;
constexpr int ID_NEXT_PANE = 57680;
constexpr int ID_PREV_PANE = 57681;
constexpr int ID_VIEW_STATUS_BAR = 59393;

// Window ids of the frame's parts.
constexpr int AFX_IDW_PANE_FIRST = 59648;  // the splitter
constexpr int IDD_BUTTON_BAR = 103;

#endif  // TESSAVO_UI_COMMAND_IDS_H_
