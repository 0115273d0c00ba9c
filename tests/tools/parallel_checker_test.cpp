// tessavo-check with several validators at once gives, byte for byte, what
// it gives with one, in every format; under ThreadSanitizer in CI too.
#include <gtest/gtest.h>

#include <string>

#include "checker_fixture.h"

namespace {

class ParallelCheckerTest : public CheckerTest {
 protected:
  void SetUp() override {
    CheckerTest::SetUp();
    // The benchmark's documents: a quarter each in Shift_JIS, EUC-JP,
    // ISO-2022-JP and ASCII, every third with errors.
    shell("mkdir -p '" + folder_ +
          "docs' && python3 '" TESSAVO_SOURCE_DIR "/bench/check/make_documents.py' '" + folder_ +
          "docs' 200");
    // Documents the run cannot read, between the others.
    shell("cd '" + folder_ + "docs' && mkfifo doc100a.html && ln -s nowhere doc050a.html");
  }

  void expectTheSameForEveryJobCount(const std::string& format) {
    if (std::system("command -v onsgmls >/dev/null") != 0) GTEST_SKIP() << "needs onsgmls";
    const Result single = run("-j 1 --format " + format + " docs");
    // Two documents cannot be read; a checker that failed otherwise (a
    // sanitizer's report ends it with a status of its own) would differ.
    EXPECT_EQ(single.status, 2);
    ASSERT_GT(single.output.size(), 10000u) << single.output;
    for (const char* jobs : {"2", "8"}) {
      const Result parallel = run(std::string("--jobs ") + jobs + " --format " + format + " docs");
      EXPECT_EQ(parallel.status, single.status) << jobs << " jobs";
      EXPECT_TRUE(parallel.output == single.output) << jobs << " jobs: the output differs";
    }
    EXPECT_EQ(runFolders(), "");
  }
};

TEST_F(ParallelCheckerTest, TextIsTheSameWithAnyNumberOfJobs) {
  expectTheSameForEveryJobCount("text");
}

TEST_F(ParallelCheckerTest, GnuIsTheSameWithAnyNumberOfJobs) {
  expectTheSameForEveryJobCount("gnu");
}

TEST_F(ParallelCheckerTest, JsonIsTheSameWithAnyNumberOfJobs) {
  expectTheSameForEveryJobCount("json");
}

}  // namespace
