#include "tests/kanji/japanese_corpus.h"

#include <random>
#include <vector>

#include "platform/character_converter.h"

namespace corpus {
namespace {

struct CellRange {
  int row;
  int firstCell;
  int lastCell;
};

// The defined cells of JIS X 0208, by row.
constexpr CellRange kDefined[] = {
    {1, 1, 94},  {2, 1, 14},  {2, 26, 33}, {2, 42, 48}, {2, 60, 74}, {2, 82, 89}, {2, 94, 94},
    {3, 16, 25}, {3, 33, 58}, {3, 65, 90}, {4, 1, 83},  {5, 1, 86},  {6, 1, 24},  {6, 33, 56},
    {7, 1, 33},  {7, 49, 81}, {8, 1, 32},  {16, 1, 94}, {17, 1, 94}, {18, 1, 94}, {19, 1, 94},
    {20, 1, 94}, {21, 1, 94}, {22, 1, 94}, {23, 1, 94}, {24, 1, 94}, {25, 1, 94}, {26, 1, 94},
    {27, 1, 94}, {28, 1, 94}, {29, 1, 94}, {30, 1, 94}, {31, 1, 94}, {32, 1, 94}, {33, 1, 94},
    {34, 1, 94}, {35, 1, 94}, {36, 1, 94}, {37, 1, 94}, {38, 1, 94}, {39, 1, 94}, {40, 1, 94},
    {41, 1, 94}, {42, 1, 94}, {43, 1, 94}, {44, 1, 94}, {45, 1, 94}, {46, 1, 94}, {47, 1, 51},
    {48, 1, 94}, {49, 1, 94}, {50, 1, 94}, {51, 1, 94}, {52, 1, 94}, {53, 1, 94}, {54, 1, 94},
    {55, 1, 94}, {56, 1, 94}, {57, 1, 94}, {58, 1, 94}, {59, 1, 94}, {60, 1, 94}, {61, 1, 94},
    {62, 1, 94}, {63, 1, 94}, {64, 1, 94}, {65, 1, 94}, {66, 1, 94}, {67, 1, 94}, {68, 1, 94},
    {69, 1, 94}, {70, 1, 94}, {71, 1, 94}, {72, 1, 94}, {73, 1, 94}, {74, 1, 94}, {75, 1, 94},
    {76, 1, 94}, {77, 1, 94}, {78, 1, 94}, {79, 1, 94}, {80, 1, 94}, {81, 1, 94}, {82, 1, 94},
    {83, 1, 94}, {84, 1, 6},
};

// The ranges of rows 1 to 8, which come first.
constexpr unsigned kSymbolRanges = 17;
static_assert(kDefined[kSymbolRanges - 1].row == 8 && kDefined[kSymbolRanges].row == 16);

void appendEuc(std::string& text, int row, int cell) {
  text += static_cast<char>(row + 0xA0);
  text += static_cast<char>(cell + 0xA0);
}

// Writes running Japanese text, ASCII markup and line ends. The random
// choices use the generator's raw output, which the standard fixes, so a
// seed gives the same document everywhere.
class Writer {
 public:
  Writer(std::uint32_t seed, bool crLf) : random_(seed), lineEnd_(crLf ? "\r\n" : "\n") {}

  std::string document(std::size_t size) {
    line("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">");
    line("<html lang=\"ja\">");
    line("<head>");
    line("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-JP\">");
    text_ += "<title>";
    phrase(3 + pick(6));
    line("</title>");
    line("</head>");
    line("<body bgcolor=\"#ffffff\">");
    text_ += "<h1>";
    phrase(4 + pick(8));
    line("</h1>");
    while (text_.size() + 200 < size) section();
    line("<hr>");
    text_ += "<address>";
    phrase(5);
    text_ += " &lt;webmaster@example.jp&gt;";
    line("</address>");
    line("</body>");
    line("</html>");
    return std::move(text_);
  }

 private:
  unsigned pick(unsigned n) { return static_cast<unsigned>(random_() % n); }

  void line(const char* ascii) {
    text_ += ascii;
    text_ += lineEnd_;
  }

  void section() {
    switch (pick(6)) {
      case 0:
        text_ += "<h2><a name=\"s" + std::to_string(pick(1000)) + "\">";
        phrase(3 + pick(10));
        line("</a></h2>");
        break;
      case 1: {
        line("<ul>");
        for (unsigned i = 0, n = 2 + pick(5); i < n; ++i) {
          text_ += "<li><a href=\"page" + std::to_string(pick(100)) + ".html\">";
          phrase(2 + pick(12));
          line("</a>");
        }
        line("</ul>");
        break;
      }
      case 2: {
        line("<table border=\"1\" cellpadding=\"4\">");
        for (unsigned i = 0, n = 2 + pick(4); i < n; ++i) {
          text_ += "<tr><th>";
          phrase(2 + pick(4));
          text_ += "</th><td align=\"right\">" + std::to_string(pick(100000)) + "</td><td>";
          phrase(3 + pick(10));
          line("</td></tr>");
        }
        line("</table>");
        break;
      }
      default: {
        line("<p>");
        for (unsigned i = 0, n = 2 + pick(6); i < n; ++i) {
          phrase(15 + pick(30));
          fullStop();
          text_ += lineEnd_;
        }
        line("</p>");
        break;
      }
    }
  }

  void fullStop() { appendEuc(text_, 1, pick(8) == 0 ? 10 : 3); }  // ！ or 。

  // About `words` words of mixed text: kanji compounds with kana endings,
  // katakana loanwords, punctuation, full-width and ASCII numbers, now and
  // then an inline element.
  void phrase(unsigned words) {
    for (unsigned i = 0; i < words; ++i) {
      const unsigned kind = pick(20);
      if (kind < 7) {
        kanji(1 + pick(3));
        hiragana(1 + pick(3));
      } else if (kind < 11) {
        hiragana(2 + pick(4));
      } else if (kind < 14) {
        katakana(2 + pick(5));
      } else if (kind < 16) {
        static const int kPunctuation[] = {2, 6, 7, 9, 28, 33, 42, 43, 54, 55, 58, 59, 60, 61};
        appendEuc(text_, 1, kPunctuation[pick(sizeof kPunctuation / sizeof *kPunctuation)]);
      } else if (kind == 16) {
        for (unsigned n = 1 + pick(4); n > 0; --n) appendEuc(text_, 3, 16 + pick(10));
      } else if (kind == 17) {
        static const char* const kAscii[] = {" HTML ", " 2024", "CGI", " (c) ", "Web", "OK"};
        text_ += kAscii[pick(6)];
      } else if (kind == 18) {
        text_ += "<b>";
        kanji(2);
        text_ += "</b>";
      } else {
        symbol();
      }
    }
  }

  void kanji(unsigned count) {
    for (; count > 0; --count) {
      // Mostly level 1; one in six from level 2, whose Shift_JIS lead bytes
      // 0xE0..0xEA EUC-JP shares.
      if (pick(6) == 0) {
        appendEuc(text_, 48 + pick(36), 1 + pick(94));
      } else {
        const int row = 16 + pick(32);
        appendEuc(text_, row, 1 + pick(row == 47 ? 51 : 94));
      }
    }
  }

  void hiragana(unsigned count) {
    for (; count > 0; --count) appendEuc(text_, 4, 1 + pick(83));
  }

  void katakana(unsigned count) {
    for (; count > 0; --count) appendEuc(text_, 5, 1 + pick(86));
  }

  // Any defined character of rows 1 to 8 (symbols, Greek, Cyrillic, box
  // drawing).
  void symbol() {
    const CellRange& range = kDefined[pick(kSymbolRanges)];
    appendEuc(text_, range.row, range.firstCell + pick(range.lastCell - range.firstCell + 1));
  }

  std::mt19937 random_;
  const char* lineEnd_;
  std::string text_;
};

}  // namespace

std::string makeEucJpDocument(std::uint32_t seed, std::size_t size, bool crLf) {
  return Writer(seed, crLf).document(size);
}

std::string allEucJpCharacters() {
  std::string text;
  int row = 0;
  for (const CellRange& range : kDefined) {
    if (row != 0 && range.row != row) text += '\n';
    row = range.row;
    for (int cell = range.firstCell; cell <= range.lastCell; ++cell) appendEuc(text, row, cell);
  }
  text += '\n';
  return text;
}

bool recode(const std::string& text, const char* from, const char* to, std::string& result) {
  platform::CharacterConverter converter(to, from);
  result.clear();
  return converter.convert(text.data(), text.size(), &result);
}

}  // namespace corpus
