#include "ui/wx_text.h"

#include <wx/strconv.h>

#include "platform/code_page.h"

namespace {

constexpr wxUniChar::value_type kEscapeBase = 0xF700;

bool isEscape(wxUniChar::value_type c) {
  return c >= kEscapeBase && c <= kEscapeBase + 0xFF;
}

void appendEscaped(wxString& out, const char* begin, const char* end) {
  for (const char* p = begin; p != end; ++p) {
    out += wxUniChar(kEscapeBase + static_cast<unsigned char>(*p));
  }
}

// Decodes one UTF-8 sequence of `length` bytes, or returns 0 when it is not
// the shortest valid form of a scalar value.
wxUniChar::value_type decodeUtf8(const unsigned char* p, std::size_t length) {
  wxUniChar::value_type c = 0;
  if (length == 1) return p[0] < 0x80 ? p[0] : 0;
  if (length == 2) c = p[0] & 0x1F;
  if (length == 3) c = p[0] & 0x0F;
  if (length == 4) c = p[0] & 0x07;
  for (std::size_t i = 1; i < length; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    c = (c << 6) | (p[i] & 0x3F);
  }
  static const wxUniChar::value_type kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kMinimum[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return c;
}

std::size_t utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

wxString fromUtf8(const std::string& bytes) {
  wxString out;
  out.reserve(bytes.size());
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    // NUL is a byte like any other here: std::string carries it.
    const std::size_t length = utf8Length(*p);
    wxUniChar::value_type c = 0;
    if (length != 0 && static_cast<std::size_t>(end - p) >= length) c = decodeUtf8(p, length);
    if ((c == 0 && *p != 0) || isEscape(c)) {
      appendEscaped(out, reinterpret_cast<const char*>(p), reinterpret_cast<const char*>(p + 1));
      ++p;
      continue;
    }
    out += wxUniChar(c);
    p += length;
  }
  return out;
}

wxString fromCp932(const std::string& bytes) {
  static wxCSConv cp932(wxFONTENCODING_CP932);
  wxString out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const bool pair = platform::IsDBCSLeadByte(lead) && i + 1 < bytes.size();
    const std::size_t length = pair ? 2 : 1;
    if (lead < 0x80) {
      out += wxUniChar(lead);
      ++i;
      continue;
    }
    const wxString decoded(bytes.data() + i, cp932, length);
    if (decoded.length() == 1 && !isEscape(decoded[0].GetValue()) &&
        std::string(decoded.mb_str(cp932)) == bytes.substr(i, length)) {
      out += decoded;
      i += length;
    } else {
      appendEscaped(out, bytes.data() + i, bytes.data() + i + 1);
      ++i;
    }
  }
  return out;
}

}  // namespace

wxString toWx(const std::string& bytes) {
  if (platform::currentCodePage() == platform::CodePage::Cp932) return fromCp932(bytes);
  return fromUtf8(bytes);
}

std::string fromWx(const wxString& text) {
  const bool cp932 = platform::currentCodePage() == platform::CodePage::Cp932;
  std::string out;
  out.reserve(text.length());
  for (wxString::const_iterator it = text.begin(); it != text.end(); ++it) {
    const wxUniChar::value_type c = (*it).GetValue();
    if (isEscape(c)) {
      out += static_cast<char>(c - kEscapeBase);
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (cp932) {
      static wxCSConv conv(wxFONTENCODING_CP932);
      const wxCharBuffer encoded = wxString(*it).mb_str(conv);
      // A character CP932 cannot hold becomes "?", as the system's own
      // conversion to an ANSI code page does.
      out += encoded.length() > 0 ? std::string(encoded.data(), encoded.length()) : "?";
    } else {
      char buffer[4];
      std::size_t length = 0;
      if (c < 0x800) {
        buffer[length++] = static_cast<char>(0xC0 | (c >> 6));
      } else if (c < 0x10000) {
        buffer[length++] = static_cast<char>(0xE0 | (c >> 12));
        buffer[length++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      } else {
        buffer[length++] = static_cast<char>(0xF0 | (c >> 18));
        buffer[length++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        buffer[length++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      }
      buffer[length++] = static_cast<char>(0x80 | (c & 0x3F));
      out.append(buffer, length);
    }
  }
  return out;
}
