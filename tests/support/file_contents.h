// Whole-file reading and writing for tests, in bytes (no line-end or
// encoding changes), with a failure reported as a test failure that names
// the path rather than as an empty file. Free functions; any thread.
#ifndef TESSAVO_TESTS_SUPPORT_FILE_CONTENTS_H_
#define TESSAVO_TESTS_SUPPORT_FILE_CONTENTS_H_

#include <string>

namespace test_support {

// Writes `bytes` as the whole file at `path`, making its missing folders;
// returns `path`.
std::string writeFile(const std::string& path, const std::string& bytes);

// The whole file's bytes; empty, without a failure, when there is no file
// (tests compare against the text they expect, which then differs).
std::string readFile(const std::string& path);

// True when `path` names anything, a dangling link included.
bool pathExists(const std::string& path);

}  // namespace test_support

#endif  // TESSAVO_TESTS_SUPPORT_FILE_CONTENTS_H_
