// A stand-in for a program the check or the window starts (validator,
// editor, browser): writes the numbers of the descriptors it was started
// with into the file (or named pipe) given as its first argument, one line,
// blank-separated, then ends. Looking costs no descriptor, so the list is exactly what the
// program inherited.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string open;
  for (int fd = 0; fd < 4096; ++fd) {
    if (::fcntl(fd, F_GETFD) >= 0) open += (open.empty() ? "" : " ") + std::to_string(fd);
  }
  // One write of one line: a reader on a pipe gets it whole.
  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr) return 1;
  std::fprintf(out, "%s\n", open.c_str());
  return std::fclose(out) == 0 ? 0 : 1;
}
