#include "kanji/conversion.h"

namespace kanji {
namespace {

using Traits = std::streambuf::traits_type;

constexpr int kNothing = -1;
constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;

bool inRange(std::uint8_t byte, std::uint8_t low, std::uint8_t high) {
  return byte >= low && byte <= high;
}

// Lead bytes only Shift_JIS uses (0x8E is also EUC-JP's SS2).
bool isShiftJisOnlyLead(std::uint8_t byte) {
  return inRange(byte, 0x81, 0x9F) && byte != 0x8E;
}

// Lead bytes only EUC-JP uses.
bool isEucJpOnlyLead(std::uint8_t byte) {
  return inRange(byte, 0xF0, 0xFE);
}

bool isShiftJisPair(std::uint8_t lead, std::uint8_t trail) {
  return (inRange(lead, 0x81, 0x9F) || inRange(lead, 0xE0, 0xEF)) && inRange(trail, 0x40, 0xFC) &&
         trail != 0x7F;
}

bool isEucJpPair(std::uint8_t lead, std::uint8_t trail) {
  return (inRange(lead, 0xA1, 0xFE) && inRange(trail, 0xA1, 0xFE)) ||
         (lead == 0x8E && inRange(trail, 0xA1, 0xDF));
}

}  // namespace

Conversion::Conversion(std::streambuf* in, KanjiCode inputCode, std::streambuf* out,
                       KanjiCode outputCode, LineEnd lineEnd)
    : in_(in), writer_(out, outputCode, lineEnd) {
  switch (inputCode) {
    case KanjiCode::ShiftJis:
      decoder_ = Decoder::ShiftJis;
      break;
    case KanjiCode::EucJp:
      decoder_ = Decoder::EucJp;
      break;
    default:
      decoder_ = Decoder::SevenBit;
      break;
  }
}

bool Conversion::run() {
  // The byte read but not yet used: a CR waiting for its LF, or the first
  // byte of a two-byte character.
  int pending = kNothing;
  bool ended = false;
  while (!ended) {
    const int next = in_->sbumpc();
    if (next == Traits::eof()) break;
    const auto byte = static_cast<std::uint8_t>(next);
    if (pending == kNothing) {
      ended = !takeFresh(byte, pending);
      continue;
    }
    const auto lead = static_cast<std::uint8_t>(pending);
    pending = kNothing;
    if (lead == kCr) {
      if (byte == kLf) {
        decodeSingle(kLf);
      } else {
        writer_.writeLineEnd();
        ended = !takeFresh(byte, pending);
      }
    } else if (lead <= 0x7E) {
      // First byte of an ISO-2022-JP kanji.
      if (inRange(byte, 0x21, 0x7E)) {
        decoder_ = Decoder::SevenBit;
        decodePair(lead, byte);
      } else {
        writer_.write(kReplacement);
      }
    } else if (inRange(lead, 0xA1, 0xDF)) {
      // An EUC-JP lead byte, or a Shift_JIS half-width katakana.
      if (decoder_ != Decoder::ShiftJis && inRange(byte, 0xA1, 0xFE)) {
        decoder_ = Decoder::EucJp;
        decodePair(lead, byte);
      } else {
        decoder_ = Decoder::ShiftJis;
        writer_.write({0, lead});
        ++japanese_;
        ended = !takeFresh(byte, pending);
      }
    } else {
      takeAmbiguousOrInvalid(lead, byte, pending, ended);
    }
  }
  if (pending == kCr) {
    writer_.writeLineEnd();
  } else if (pending != kNothing && decoder_ == Decoder::ShiftJis &&
             inRange(static_cast<std::uint8_t>(pending), 0xA1, 0xDF)) {
    // Under a Shift_JIS decision this byte is a whole half-width katakana,
    // not the start of a character, and is not lost with the end.
    writer_.write({0, static_cast<std::uint8_t>(pending)});
    ++japanese_;
  }
  // Any other pending byte is a lead byte with no character to finish and is
  // dropped.
  writer_.finish();
  return !writer_.failed();
}

bool Conversion::takeFresh(std::uint8_t byte, int& pending) {
  if (inRange(byte, 0x21, 0x7E)) {
    if (inShift_ == Shift::Kanji) {
      pending = byte;
    } else {
      decodeSingle(byte);
    }
    return true;
  }
  switch (byte) {
    case 0x00:
      writer_.write(kReplacement);
      return true;
    case kCr:
      inShift_ = Shift::Ascii;
      pending = byte;
      return true;
    case kLf:
      inShift_ = Shift::Ascii;
      decodeSingle(byte);
      return true;
    case kEsc:
      return takeEscape();
    default:
      break;
  }
  if (opensPair(byte)) {
    pending = byte;
  } else {
    decodeSingle(byte);
  }
  return true;
}

bool Conversion::opensPair(std::uint8_t byte) {
  if (isShiftJisOnlyLead(byte)) {
    decoder_ = Decoder::ShiftJis;
    return true;
  }
  if (isEucJpOnlyLead(byte)) {
    decoder_ = Decoder::EucJp;
    return true;
  }
  return byte == 0x8E || inRange(byte, 0xA1, 0xEF);
}

bool Conversion::takeEscape() {
  const int first = in_->sbumpc();
  if (first == Traits::eof()) {
    writer_.write({0, kEsc});
    return false;
  }
  const int second = in_->sbumpc();
  if (second == Traits::eof()) {
    writer_.write({0, kEsc});
    writer_.write({0, static_cast<std::uint8_t>(first)});
    return false;
  }
  if (first == '(' && (second == 'B' || second == 'J')) {
    inShift_ = Shift::Ascii;
  } else if (first == '$' && (second == '@' || second == 'B')) {
    inShift_ = Shift::Kanji;
  } else if (first == '(' && second == 'I') {
    inShift_ = Shift::Katakana;
  } else {
    writer_.write({0, kEsc});
    writer_.write({0, static_cast<std::uint8_t>(first)});
    writer_.write({0, static_cast<std::uint8_t>(second)});
    return true;
  }
  // A designation means ISO-2022-JP, whatever was decided before.
  decoder_ = Decoder::SevenBit;
  sawDesignation_ = true;
  return true;
}

void Conversion::takeAmbiguousOrInvalid(std::uint8_t lead, std::uint8_t trail, int& pending,
                                        bool& ended) {
  const bool shiftJis = isShiftJisPair(lead, trail);
  const bool eucJp = isEucJpPair(lead, trail);
  if (shiftJis && eucJp) {
    if (decided()) {
      decodePair(lead, trail);
      return;
    }
    int carried = kNothing;
    ended = !lookAhead(lead, trail, carried);
    if (carried != kNothing) ended = !takeFresh(static_cast<std::uint8_t>(carried), pending);
  } else if (shiftJis) {
    decoder_ = Decoder::ShiftJis;
    decodePair(lead, trail);
  } else if (eucJp) {
    decoder_ = Decoder::EucJp;
    decodePair(lead, trail);
  } else {
    // Both bytes go, even when the second one is a line end.
    writer_.write(kReplacement);
  }
}

void Conversion::decodeSingle(std::uint8_t byte) {
  if (byte >= 0x80 || inShift_ != Shift::Ascii) ++japanese_;
  if (decoder_ == Decoder::SevenBit) {
    writer_.write(fromJisSingle(byte, inShift_));
    return;
  }
  writer_.write({0, byte});
  inShift_ = Shift::Ascii;
}

void Conversion::decodePair(std::uint8_t lead, std::uint8_t trail) {
  ++japanese_;
  switch (decoder_) {
    case Decoder::SevenBit:
      writer_.write(fromJis(lead, trail));
      return;
    case Decoder::ShiftJis:
      writer_.write(fromShiftJis(lead, trail));
      break;
    case Decoder::EucJp:
      writer_.write(fromEucJp(lead, trail));
      break;
  }
  inShift_ = Shift::Ascii;
}

const char* Conversion::detectedCharset() const {
  if (sawDesignation_) return "ISO-2022-JP";
  if (japanese_ == 0) return "US-ASCII";
  switch (decoder_) {
    case Decoder::ShiftJis:
      return "Shift_JIS";
    case Decoder::EucJp:
      return "EUC-JP";
    case Decoder::SevenBit:
      break;
  }
  return "ISO-2022-JP";
}

bool Conversion::lookAhead(std::uint8_t lead, std::uint8_t trail, int& carried) {
  // Escape sequences are not interpreted here and 0x00 passes through: the
  // buffered bytes are kept as they are until the decoder is known.
  std::vector<BytePair> buffer{{lead, trail}};
  int held = kNothing;  // a lead byte waiting for its trail byte
  bool afterCr = false;
  for (;;) {
    const int next = in_->sbumpc();
    if (next == Traits::eof()) {
      if (afterCr) buffer.push_back({0, kLf});
      // Still undecided at the end of the input: every pair buffered so far
      // is valid EUC-JP (the pairs that only Shift_JIS accepts would have
      // decided), so the stretch is written as EUC-JP rather than dropped.
      if (!decided()) decoder_ = Decoder::EucJp;
      flush(buffer);
      return false;
    }
    const auto byte = static_cast<std::uint8_t>(next);
    if (afterCr) {
      afterCr = false;
      buffer.push_back({0, kLf});
      if (byte == kLf) {
        if (decided()) break;
        continue;
      }
      if (decided()) {
        carried = byte;
        break;
      }
    } else if (held != kNothing) {
      const auto heldLead = static_cast<std::uint8_t>(held);
      held = kNothing;
      if (inRange(heldLead, 0xA1, 0xDF)) {
        if (decoder_ != Decoder::ShiftJis && inRange(byte, 0xA1, 0xFE)) {
          decoder_ = Decoder::EucJp;
          buffer.push_back({heldLead, byte});
          break;
        }
        decoder_ = Decoder::ShiftJis;
        buffer.push_back({0, heldLead});
        // `byte` is examined afresh below.
      } else {
        const bool shiftJis = isShiftJisPair(heldLead, byte);
        const bool eucJp = isEucJpPair(heldLead, byte);
        if (!shiftJis && !eucJp) {
          buffer.push_back({kReplacementEntry, 0});
          continue;
        }
        buffer.push_back({heldLead, byte});
        if (shiftJis != eucJp) {
          decoder_ = shiftJis ? Decoder::ShiftJis : Decoder::EucJp;
          break;
        }
        if (decided()) break;
        continue;
      }
    }
    if (byte == kCr) {
      afterCr = true;
    } else if (opensPair(byte)) {
      held = byte;
    } else {
      buffer.push_back({0, byte});  // a lone LF is (0, 0x0A), a line end
      if (decided()) break;
    }
  }
  flush(buffer);
  return true;
}

void Conversion::flush(const std::vector<BytePair>& buffer) {
  for (const BytePair& entry : buffer) {
    if (entry.lead == kReplacementEntry) {
      writer_.write(kReplacement);
    } else if (entry.lead == 0) {
      decodeSingle(entry.trail);
    } else {
      decodePair(entry.lead, entry.trail);
    }
  }
}

}  // namespace kanji
