// A new folder of a test's own, removed with everything in it when the
// object goes.
//
// The folder is made new, as mkdtemp makes one, under gtest's temporary folder ($TEST_TMPDIR,
// $TMPDIR or /tmp), so two tests, two test programs or two runs of CI never
// share it, and its name may hold any byte the base folder's name holds.
// Removal goes through std::filesystem, never a shell, and first gives back
// the owner's rights on folders a test made unreadable or read-only. The
// object owns the folder; it is not copied. One thread at a time.
#ifndef TESSAVO_TESTS_SUPPORT_TEMP_FOLDER_H_
#define TESSAVO_TESTS_SUPPORT_TEMP_FOLDER_H_

#include <string>

namespace test_support {

class TempFolder {
 public:
  // The folder's name starts with `prefix`; a failure to make it fails the
  // test, and path() is then empty.
  explicit TempFolder(const std::string& prefix = "tessavo-test");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's path, ending with "/".
  const std::string& path() const { return path_; }
  // The path of `name` inside the folder; nothing is made.
  std::string operator/(const std::string& name) const { return path_ + name; }
  // Makes the folder `name` (with its parents) inside; its path, ending "/".
  std::string makeFolder(const std::string& name) const;

 private:
  std::string path_;
};

// Removes `path` with everything in it, as the destructor above does; false
// (with the reason in the test's output) when something stayed.
bool removeTree(const std::string& path);

}  // namespace test_support

#endif  // TESSAVO_TESTS_SUPPORT_TEMP_FOLDER_H_
