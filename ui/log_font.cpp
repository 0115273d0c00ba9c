#include "ui/log_font.h"

#include <wx/fontenum.h>
#include <wx/gdicmn.h>

#include <cmath>
#include <cstdlib>

#include "platform/code_page.h"
#include "ui/wx_text.h"

namespace {

constexpr std::uint8_t kFixedPitch = 1;
constexpr std::uint8_t kVariablePitch = 2;
constexpr std::uint8_t kFamilyRoman = 0x10;
constexpr std::uint8_t kFamilySwiss = 0x20;
constexpr std::uint8_t kFamilyModern = 0x30;
constexpr std::uint8_t kFamilyScript = 0x40;
constexpr std::uint8_t kFamilyDecorative = 0x50;

void putInt32(std::string& out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((bits >> shift) & 0xFF);
}

std::int32_t getInt32(const std::string& in, std::size_t at) {
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(in[at + i]);
  return static_cast<std::int32_t>(bits);
}

bool faceInstalled(const wxString& face) {
  return !face.empty() && wxFontEnumerator::IsValidFacename(face);
}

// Pixels per inch of the screen, vertically; 96 where it cannot be told.
double screenDpi() {
  const int dpi = wxGetDisplayPPI().GetHeight();
  return dpi > 0 ? dpi : 96.0;
}

}  // namespace

std::string LogFont::toBytes() const {
  std::string out;
  out.reserve(kRecordSize);
  putInt32(out, height);
  putInt32(out, width);
  putInt32(out, escapement);
  putInt32(out, orientation);
  putInt32(out, weight);
  for (std::uint8_t byte : {italic, underline, strikeOut, charSet, outPrecision, clipPrecision,
                            quality, pitchAndFamily}) {
    out += static_cast<char>(byte);
  }
  std::string face = faceName.substr(0, kFaceSize - 1);
  face.resize(kFaceSize, '\0');
  return out + face;
}

std::optional<LogFont> LogFont::fromBytes(const std::string& bytes) {
  if (bytes.size() != kRecordSize) return std::nullopt;
  LogFont font;
  font.height = getInt32(bytes, 0);
  font.width = getInt32(bytes, 4);
  font.escapement = getInt32(bytes, 8);
  font.orientation = getInt32(bytes, 12);
  font.weight = getInt32(bytes, 16);
  std::uint8_t* fields[] = {&font.italic,  &font.underline,     &font.strikeOut,
                            &font.charSet, &font.outPrecision,  &font.clipPrecision,
                            &font.quality, &font.pitchAndFamily};
  for (std::size_t i = 0; i < 8; ++i) *fields[i] = static_cast<unsigned char>(bytes[20 + i]);
  // The face ends at its first NUL; a record without one keeps all 32 bytes.
  const std::string face = bytes.substr(28, kFaceSize);
  font.faceName = face.substr(0, face.find('\0'));
  return font;
}

double LogFont::pointsForHeight(std::int32_t height) {
  return std::abs(static_cast<double>(height)) * 72.0 / screenDpi();
}

std::int32_t LogFont::heightForPoints(double points) {
  return -static_cast<std::int32_t>(std::lround(points * screenDpi() / 72.0));
}

wxFont LogFont::toWxFont() const {
  wxFontFamily family = wxFONTFAMILY_DEFAULT;
  switch (pitchAndFamily & 0xF0) {
    case kFamilyRoman:
      family = wxFONTFAMILY_ROMAN;
      break;
    case kFamilySwiss:
      family = wxFONTFAMILY_SWISS;
      break;
    case kFamilyModern:
      family = wxFONTFAMILY_TELETYPE;
      break;
    case kFamilyScript:
      family = wxFONTFAMILY_SCRIPT;
      break;
    case kFamilyDecorative:
      family = wxFONTFAMILY_DECORATIVE;
      break;
    default:
      break;
  }
  if ((pitchAndFamily & 0x03) == kFixedPitch) family = wxFONTFAMILY_TELETYPE;

  // A negative height is the characters' own height (the em) in pixels,
  // which is the font's size: 13 pixels are 9.75 points at 96 dpi. A
  // positive height is the cell (characters and the room above them),
  // which is what wx fits a pixel size into. 0 asks for the default size.
  wxFontInfo info = height > 0 ? wxFontInfo(wxSize(0, height))
                               : wxFontInfo(pointsForHeight(height == 0 ? -13 : height));
  info.Family(family);
  const wxString face = toWx(faceName);
  if (faceInstalled(face)) info.FaceName(face);
  if (weight > 0) info.Weight(weight);
  info.Italic(italic != 0).Underlined(underline != 0).Strikethrough(strikeOut != 0);
  return wxFont(info);
}

LogFont LogFont::fromWxFont(const wxFont& font, const LogFont& base) {
  LogFont record = base;
  const double points = font.GetFractionalPointSize();
  record.height = points > 0 ? heightForPoints(points) : base.height;
  record.width = 0;
  record.weight = font.GetNumericWeight();
  record.italic = font.GetStyle() != wxFONTSTYLE_NORMAL ? 1 : 0;
  record.underline = font.GetUnderlined() ? 1 : 0;
  record.strikeOut = font.GetStrikethrough() ? 1 : 0;
  std::uint8_t family = 0;
  switch (font.GetFamily()) {
    case wxFONTFAMILY_ROMAN:
      family = kFamilyRoman;
      break;
    case wxFONTFAMILY_SWISS:
      family = kFamilySwiss;
      break;
    case wxFONTFAMILY_MODERN:
    case wxFONTFAMILY_TELETYPE:
      family = kFamilyModern;
      break;
    case wxFONTFAMILY_SCRIPT:
      family = kFamilyScript;
      break;
    case wxFONTFAMILY_DECORATIVE:
      family = kFamilyDecorative;
      break;
    default:
      break;
  }
  record.pitchAndFamily =
      static_cast<std::uint8_t>(family | (font.IsFixedWidth() ? kFixedPitch : kVariablePitch));
  // The face field holds 31 bytes; a name cut there must not end inside a
  // multibyte character.
  std::string face = fromWx(font.GetFaceName());
  if (face.size() >= kFaceSize) {
    std::size_t keep = 0;
    for (const char* p = face.c_str(); *p != '\0';) {
      const char* next = platform::CharNextA(p);
      if (static_cast<std::size_t>(next - face.c_str()) > kFaceSize - 1) break;
      keep = static_cast<std::size_t>(next - face.c_str());
      p = next;
    }
    face.resize(keep);
  }
  record.faceName = face;
  return record;
}
