#include "platform/command_line.h"

#include "platform/ascii_blank.h"
#include "platform/code_page.h"

namespace platform {

std::vector<std::string> splitCommandLine(const std::string& commandLine) {
  std::vector<std::string> arguments;
  const char* p = commandLine.c_str();

  // Leading blanks are passed over, as the process creation does when it
  // looks for the program. The program name: quotes group and are dropped,
  // backslashes are plain.
  while (isAsciiBlank(*p)) ++p;
  if (*p == '\0') return arguments;
  std::string program;
  bool inQuotes = false;
  while (*p != '\0' && (inQuotes || !isAsciiBlank(*p))) {
    if (*p == '"') {
      inQuotes = !inQuotes;
    } else {
      program.push_back(*p);
    }
    ++p;
  }
  arguments.push_back(program);

  for (;;) {
    while (isAsciiBlank(*p)) ++p;
    if (*p == '\0') break;
    std::string argument;
    inQuotes = false;
    for (;;) {
      bool copy = true;
      std::size_t backslashes = 0;
      while (*p == '\\') {
        ++p;
        ++backslashes;
      }
      if (*p == '"') {
        if (backslashes % 2 == 0) {
          if (inQuotes && p[1] == '"') {
            ++p;  // "" inside a group: one literal quote, the group goes on
          } else {
            copy = false;
            inQuotes = !inQuotes;
          }
        }
        backslashes /= 2;
      }
      argument.append(backslashes, '\\');
      if (*p == '\0' || (!inQuotes && isAsciiBlank(*p))) break;
      // A double-byte character goes whole: its trail byte may be 0x5C
      // ("表" under CP932), which is no backslash.
      const char* next = CharNextA(p);
      if (copy) argument.append(p, next);
      p = next;
    }
    arguments.push_back(argument);
  }
  return arguments;
}

std::string quotedArgumentText(const std::string& argument) {
  std::string result;
  std::size_t backslashes = 0;
  for (const char* p = argument.c_str(); *p != '\0';) {
    const char* next = CharNextA(p);
    if (next - p == 1 && *p == '\\') {
      ++backslashes;
      p = next;
      continue;
    }
    if (*p == '"') backslashes = backslashes * 2 + 1;
    result.append(backslashes, '\\');
    backslashes = 0;
    result.append(p, next);
    p = next;
  }
  result.append(backslashes * 2, '\\');
  return result;
}

std::string quoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  return "\"" + quotedArgumentText(argument) + "\"";
}

}  // namespace platform
