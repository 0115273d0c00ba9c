// The program's icon, drawn as an SVG (data/tessavo.svg) and built into the
// executable, so the window and the about box show it wherever the program
// lies; the desktop entry names the same picture in the icon theme.
// User-interface thread for the wx parts.
#ifndef TESSAVO_UI_PROGRAM_ICON_H_
#define TESSAVO_UI_PROGRAM_ICON_H_

#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>

#include <string>

// The SVG text.
const std::string& programIconSvg();

// The icon at the sizes a desktop asks for (16 to 256 pixels).
wxIconBundle programIcons();
// The icon for a dialog, `size` pixels square by default.
wxBitmapBundle programIconBitmap(int size);

#endif  // TESSAVO_UI_PROGRAM_ICON_H_
