// Splits a local path (or the path part of a file URI) into host, directory
// and base name, and gives a name's extension.
//
// Separators are "/" and "\"; the scan steps over whole characters of the
// program's code page (platform::CharNextA), so the second byte of a CP932
// character such as 0x95 0x5C is never taken for a separator, and a UTF-8
// path splits at its real separators only.
//
//   C:\doc\index.HTML       host "",    directory "C:/doc/",     name "index.HTML"
//   \\srv\share\dir\a.htm   host "srv", directory "/share/dir/", name "a.htm"
//   /C:/doc/a.htm           host "",    directory "C:/doc/",     name "a.htm"
//   C:\doc\..               host "",    directory "C:/doc/../",  name ""
//
// Invariants: directory() is empty or ends with "/" and holds no "\" outside
// a multibyte character; name() is never "." or "..". A value class; parsing
// never fails.
#ifndef TESSAVO_FILES_FILE_NAME_H_
#define TESSAVO_FILES_FILE_NAME_H_

#include <string>

class FileName {
 public:
  explicit FileName(const char* path);
  explicit FileName(const std::string& path);
  virtual ~FileName() = default;
  FileName(const FileName&) = default;
  FileName& operator=(const FileName&) = default;

  // Everything up to and including the last separator, each "\" made "/";
  // empty when the path holds no separator.
  std::string directory() const { return directory_; }
  // Everything after the last separator.
  std::string name() const { return name_; }
  // The server of a UNC path ("\\server\share\..."), else empty.
  std::string host() const { return host_; }
  // The text after the last dot of name(), without the dot; empty when there
  // is none. With `lowerCase`, the letters A-Z are lowered.
  std::string extension(bool lowerCase) const;

 private:
  void parse(const char* path);

  std::string host_;
  std::string directory_;
  std::string name_;
};

// True if `path` exists and is a folder; every failure is false.
bool isDirectory(const char* path);

#endif  // TESSAVO_FILES_FILE_NAME_H_
