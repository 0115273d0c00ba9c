// The converter's benchmark program.
//   kanji_bench corpus FOLDER MEGABYTES   writes corpus.euc, corpus.sjis,
//                                         corpus.jis and corpus.utf8: the same
//                                         Japanese HTML text, about MEGABYTES
//                                         each
//   kanji_bench convert IN OUT            converts IN to OUT as the check run
//                                         does (detect, EUC-JP, CR LF) and
//                                         prints the seconds it took
//   kanji_bench analyse IN                reads IN through the document
//                                         analysis (UTF-8 or legacy, syntax,
//                                         doctype), prints the encoding it
//                                         chose and the seconds it took
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "kanji/document_analysis.h"
#include "kanji/tessavo_kanji.h"
#include "tests/kanji/japanese_corpus.h"

namespace {

int writeCorpus(const std::string& folder, long megabytes) {
  struct Output {
    const char* iconvName;
    const char* file;
  };
  const Output outputs[] = {{"EUC-JP", "corpus.euc"},
                            {"SHIFT_JIS", "corpus.sjis"},
                            {"ISO-2022-JP", "corpus.jis"},
                            {"UTF-8", "corpus.utf8"}};
  constexpr int kOutputs = 4;
  std::ofstream files[kOutputs];
  for (int i = 0; i < kOutputs; ++i) {
    files[i].open(folder + "/" + outputs[i].file, std::ios::binary | std::ios::trunc);
    if (!files[i]) {
      std::fprintf(stderr, "kanji_bench: cannot write %s/%s\n", folder.c_str(), outputs[i].file);
      return 1;
    }
  }
  // Documents of about 1 MB one after another, half with CR LF line ends.
  const std::size_t documentSize = 1 << 20;
  const std::size_t total = static_cast<std::size_t>(megabytes) << 20;
  std::size_t written = 0;
  for (std::uint32_t seed = 1; written < total; ++seed) {
    const std::string euc = corpus::makeEucJpDocument(seed, documentSize, seed % 2 == 0);
    for (int i = 0; i < kOutputs; ++i) {
      std::string text;
      if (!corpus::recode(euc, "EUC-JP", outputs[i].iconvName, text)) {
        std::fprintf(stderr, "kanji_bench: iconv cannot make %s\n", outputs[i].iconvName);
        return 1;
      }
      // The UTF-8 text says so, as a page of today would.
      if (std::string(outputs[i].iconvName) == "UTF-8") {
        for (std::size_t at; (at = text.find("charset=EUC-JP")) != std::string::npos;) {
          text.replace(at, 14, "charset=UTF-8");
        }
      }
      files[i] << text;
    }
    written += euc.size();
  }
  for (std::ofstream& file : files) {
    file.close();
    if (!file) return 1;
  }
  return 0;
}

int convertFile(const char* inputPath, const char* outputPath) {
  const auto start = std::chrono::steady_clock::now();
  std::ifstream input(inputPath, std::ios::binary);
  std::ofstream output(outputPath, std::ios::binary | std::ios::trunc);
  if (!input || !output) {
    std::fprintf(stderr, "kanji_bench: cannot open %s or %s\n", inputPath, outputPath);
    return 1;
  }
  TessavoKanji converter;
  converter.convert(input, KanjiCode::AutoDetect, output, KanjiCode::EucJp, LineEnd::CrLf);
  output.close();
  if (!output) return 1;
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  std::printf("%.6f\n", seconds.count());
  return 0;
}

}  // namespace

int analyseFile(const char* inputPath) {
  const auto start = std::chrono::steady_clock::now();
  std::ifstream input(inputPath, std::ios::binary);
  if (!input) {
    std::fprintf(stderr, "kanji_bench: cannot open %s\n", inputPath);
    return 1;
  }
  const kanji::DocumentAnalysis analysis = kanji::analyseDocument(input);
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  std::printf("%s %.6f\n", analysis.encoding == kanji::TextEncoding::Utf8 ? "UTF-8" : "legacy",
              seconds.count());
  return 0;
}

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "corpus" && argc == 4) return writeCorpus(argv[2], std::atol(argv[3]));
  if (command == "convert" && argc == 4) return convertFile(argv[2], argv[3]);
  if (command == "analyse" && argc == 3) return analyseFile(argv[2]);
  std::fprintf(stderr,
               "usage: kanji_bench corpus FOLDER MEGABYTES | kanji_bench convert IN OUT | "
               "kanji_bench analyse IN\n");
  return 2;
}
