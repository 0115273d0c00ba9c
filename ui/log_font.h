// The list font as the settings store it: one 60-byte record of five
// little-endian 32-bit fields (height, width, escapement, orientation,
// weight), eight single bytes (italic, underline, strike-out, character set,
// output precision, clipping precision, quality, pitch and family) and a
// 32-byte NUL-padded face name.
//
// Conversion to a wxFont follows the record's meaning: a negative height is
// the character height (the em) in pixels, which gives the font's size in
// points at the screen's resolution (-13 is 9.75 points at 96 dpi); a
// positive one is the cell height; a face that is not installed (the default
// "FixedSys" among them) falls back to the desktop font of the record's
// family, the monospace font for a fixed-pitch record. A value class; UI
// thread only for the wxFont parts.
#ifndef TESSAVO_UI_LOG_FONT_H_
#define TESSAVO_UI_LOG_FONT_H_

#include <wx/font.h>

#include <cstdint>
#include <optional>
#include <string>

struct LogFont {
  static constexpr std::size_t kRecordSize = 60;
  static constexpr std::size_t kFaceSize = 32;

  std::int32_t height = -13;
  std::int32_t width = 0;
  std::int32_t escapement = 0;
  std::int32_t orientation = 0;
  std::int32_t weight = 400;
  std::uint8_t italic = 0;
  std::uint8_t underline = 0;
  std::uint8_t strikeOut = 0;
  std::uint8_t charSet = 128;         // SHIFTJIS_CHARSET
  std::uint8_t outPrecision = 1;      // OUT_STRING_PRECIS
  std::uint8_t clipPrecision = 2;     // CLIP_STROKE_PRECIS
  std::uint8_t quality = 1;           // DRAFT_QUALITY
  std::uint8_t pitchAndFamily = 1;    // FIXED_PITCH
  std::string faceName = "FixedSys";  // at most 31 bytes are kept

  // The 60 bytes of the record.
  std::string toBytes() const;
  // Reads a record; any length other than 60 gives nothing.
  static std::optional<LogFont> fromBytes(const std::string& bytes);

  wxFont toWxFont() const;
  // A negative (character) height in pixels as points on this screen, and
  // back.
  static double pointsForHeight(std::int32_t height);
  static std::int32_t heightForPoints(double points);
  // The record of a font chosen by the user; fields that wx does not know
  // (escapement, precision, quality) keep the values of `base`.
  static LogFont fromWxFont(const wxFont& font, const LogFont& base);
};

#endif  // TESSAVO_UI_LOG_FONT_H_
