// The main window's settings in the profile's "Settings" group, under the
// fixed value names ("left", "DropStart", "Editor", "font", ...).
// Every write is flushed at once, so a setting survives a crash.
//
// Borrows the profile object (it must outlive this one). User-interface
// thread only.
#ifndef TESSAVO_UI_FRAME_SETTINGS_H_
#define TESSAVO_UI_FRAME_SETTINGS_H_

#include <wx/gdicmn.h>

#include <optional>
#include <string>

#include "ui/log_font.h"

class wxConfigBase;

class FrameSettings {
 public:
  explicit FrameSettings(wxConfigBase* config) : config_(config) {}

  long readInt(const char* key, long fallback) const;
  std::string readString(const char* key, const std::string& fallback) const;
  void writeInt(const char* key, long value);
  void writeString(const char* key, const std::string& value);

  // The stored list font; nothing when none is stored or its length is not
  // that of the record.
  std::optional<LogFont> readFont() const;
  void writeFont(const LogFont& font);

  // The window rectangle to open with: "left", "top", "right", "bottom",
  // with an unusable size replaced by the default one and a rectangle on no
  // display moved to the screen's corner.
  wxRect windowRect() const;
  void writeWindowRect(const wxRect& rect);

 private:
  wxConfigBase* config_;  // not owned
};

#endif  // TESSAVO_UI_FRAME_SETTINGS_H_
