#include "ui/program_icon.h"

const std::string& programIconSvg() {
  static const std::string svg =
#include "program_icon_svg.inc"
      ;
  return svg;
}

wxBitmapBundle programIconBitmap(int size) {
  return wxBitmapBundle::FromSVG(programIconSvg().c_str(), wxSize(size, size));
}

wxIconBundle programIcons() {
  const wxBitmapBundle picture = programIconBitmap(64);
  wxIconBundle icons;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    const wxIcon icon = picture.GetIcon(wxSize(size, size));
    if (icon.IsOk()) icons.AddIcon(icon);
  }
  return icons;
}
