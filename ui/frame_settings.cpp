#include "ui/frame_settings.h"

#include <wx/config.h>
#include <wx/display.h>

#include "ui/wx_text.h"

namespace {

const wxString kSettings = "Settings/";

constexpr long kDefaultWidth = 300;
constexpr long kDefaultHeight = 400;

}  // namespace

long FrameSettings::readInt(const char* key, long fallback) const {
  return config_->ReadLong(kSettings + key, fallback);
}

std::string FrameSettings::readString(const char* key, const std::string& fallback) const {
  wxString value;
  if (!config_->Read(kSettings + key, &value)) return fallback;
  return fromWx(value);
}

void FrameSettings::writeInt(const char* key, long value) {
  config_->Write(kSettings + key, value);
  config_->Flush();
}

void FrameSettings::writeString(const char* key, const std::string& value) {
  config_->Write(kSettings + key, toWx(value));
  config_->Flush();
}

std::optional<LogFont> FrameSettings::readFont() const {
  wxMemoryBuffer stored;
  if (!config_->Read(kSettings + "font", &stored)) return std::nullopt;
  return LogFont::fromBytes(
      std::string(static_cast<const char*>(stored.GetData()), stored.GetDataLen()));
}

void FrameSettings::writeFont(const LogFont& font) {
  const std::string bytes = font.toBytes();
  wxMemoryBuffer buffer;
  buffer.AppendData(bytes.data(), bytes.size());
  config_->Write(kSettings + "font", buffer);
  config_->Flush();
}

wxRect FrameSettings::windowRect() const {
  const long left = readInt("left", 0);
  const long top = readInt("top", 0);
  const long right = readInt("right", kDefaultWidth);
  const long bottom = readInt("bottom", kDefaultHeight);
  wxRect rect(left, top, right - left, bottom - top);
  // An empty or inverted size cannot make a window; the default size stands
  // in for the side that is unusable.
  if (rect.width < 1) rect.width = kDefaultWidth;
  if (rect.height < 1) rect.height = kDefaultHeight;
  bool visible = false;
  for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
    if (wxDisplay(i).GetGeometry().Intersects(rect)) visible = true;
  }
  // A rectangle on a display that is gone would open the window where
  // nobody can reach it.
  if (!visible) rect.SetPosition(wxPoint(0, 0));
  return rect;
}

void FrameSettings::writeWindowRect(const wxRect& rect) {
  config_->Write(kSettings + "left", static_cast<long>(rect.GetLeft()));
  config_->Write(kSettings + "top", static_cast<long>(rect.GetTop()));
  config_->Write(kSettings + "right", static_cast<long>(rect.GetLeft() + rect.GetWidth()));
  config_->Write(kSettings + "bottom", static_cast<long>(rect.GetTop() + rect.GetHeight()));
  config_->Flush();
}
