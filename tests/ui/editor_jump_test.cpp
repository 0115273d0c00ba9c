// The default editors, started for real with the command line the program
// forms, open the document at the error's line, also when they restore a
// session of their own in which the document was open at another line.
// Editors that are not installed are left out.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/process.h"
#include "tests/ui/startup_fixture.h"
#include "viewers/editor_launcher.h"

extern char** environ;

using namespace startup_test;

namespace {

constexpr int kErrorLine = 46;
constexpr int kSessionLine = 61;

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// "line 1" to "line 100", one per line.
std::string numberedLines(const std::string& word) {
  std::string text;
  for (int i = 1; i <= 100; ++i) text += word + " " + std::to_string(i) + "\n";
  return text;
}

// The character offset where line `line` (from 1) of `text` starts, and the
// line an offset lies on.
long offsetOfLine(const std::string& text, int line) {
  long offset = 0;
  for (int i = 1; i < line; ++i) offset = static_cast<long>(text.find('\n', offset)) + 1;
  return offset;
}

int lineAtOffset(const std::string& text, long offset) {
  int line = 1;
  for (long i = 0; i < offset && i < static_cast<long>(text.size()); ++i) line += text[i] == '\n';
  return line;
}

std::string percentEscaped(const std::string& path) {
  std::string escaped;
  for (const unsigned char c : path) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
      escaped += static_cast<char>(c);
    } else {
      char code[4];
      std::snprintf(code, sizeof code, "%%%02X", c);
      escaped += code;
    }
  }
  return escaped;
}

// An editor process started from a command line, in a home folder of its
// own; ended (politely, so that it writes its session) on destruction.
class EditorProcess {
 public:
  EditorProcess(const std::string& commandLine, const std::vector<std::string>& environment) {
    std::vector<std::string> arguments = platform::splitCommandLine(commandLine);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> variables = environment;
    for (char** variable = environ; *variable != nullptr; ++variable)
      variables.push_back(*variable);
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    if (::posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) pid_ = 0;
  }
  ~EditorProcess() { end(); }
  bool started() const { return pid_ > 0; }
  // Asks the editor to quit and waits for it; false when it had to be killed.
  bool end() {
    if (pid_ <= 0) return true;
    ::kill(pid_, SIGTERM);
    int status = 0;
    const bool ended = pumpUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; });
    if (!ended) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
    }
    pid_ = 0;
    return ended;
  }

 private:
  pid_t pid_ = 0;
};

// geany: the session lies in geany.conf ([files], "FILE_NAME_n" with the
// cursor's character offset first); a running geany lists its documents.
void checkGeany(const std::string& command) {
  const std::string home = scratch() + "editor-geany/";
  std::filesystem::remove_all(home);
  const std::string other = home + "other.txt";
  const std::string document = home + "page.html";
  const std::string text = numberedLines("line");
  writeFile(other, numberedLines("other"));
  writeFile(document, text);
  const std::string conf = home + "config/geany/geany.conf";
  writeFile(conf, "[files]\ncurrent_page=1\nFILE_NAME_0=0;None;0;EUTF-8;1;1;0;" +
                      percentEscaped(other) +
                      ";0;4\nFILE_NAME_1=" + std::to_string(offsetOfLine(text, kSessionLine)) +
                      ";None;0;EUTF-8;1;1;0;" + percentEscaped(document) + ";0;4\n");
  std::filesystem::create_directories(home + "run");
  std::filesystem::permissions(home + "run", std::filesystem::perms::owner_all);
  const std::vector<std::string> environment = {
      "HOME=" + home, "XDG_CONFIG_HOME=" + home + "config", "XDG_RUNTIME_DIR=" + home + "run",
      "XDG_DATA_HOME=" + home + "data", "NO_AT_BRIDGE=1"};

  EditorProcess editor(editorCommandLine(command, document, kErrorLine), environment);
  ASSERT_TRUE(editor.started()) << command;
  // Ready once it answers with its documents, the session's and ours.
  std::string listEnvironment;
  for (const std::string& variable : environment) listEnvironment += "'" + variable + "' ";
  const std::string listCommand = "env " + listEnvironment + "geany --list-documents 2>/dev/null";
  ASSERT_TRUE(pumpUntil(
      [&] {
        std::FILE* list = ::popen(listCommand.c_str(), "r");
        if (list == nullptr) return false;
        char line[4096];
        bool listed = false;
        while (std::fgets(line, sizeof line, list) != nullptr) {
          listed |= std::string(line).find("page.html") != std::string::npos;
        }
        ::pclose(list);
        return listed;
      },
      // geany's first start under Xvfb takes seconds, and far longer while
      // the other tests load both cores.
      45000))
      << "geany did not open the document within 45 s";
  ASSERT_TRUE(editor.end()) << "geany did not quit when asked";

  // Where the cursor was when it quit.
  const std::string session = readAll(conf);
  const std::string key = percentEscaped(document);
  const std::string::size_type entry = session.rfind("=", session.find(key));
  ASSERT_NE(session.find(key), std::string::npos) << session;
  const long offset = std::stol(session.substr(entry + 1));
  EXPECT_EQ(lineAtOffset(text, offset), kErrorLine) << command << "\n" << session;
  // The other file of the session stays where it was.
  const std::string otherKey = percentEscaped(other);
  const std::string::size_type otherEntry = session.rfind("=", session.find(otherKey));
  EXPECT_EQ(std::stol(session.substr(otherEntry + 1)), 0) << session;
}

TEST(DefaultEditors, OpenTheDocumentAtTheErrorsLineOverTheirSession) {
  const struct {
    const char* program;
    std::function<void(const std::string&)> check;
  } editors[] = {{"geany", checkGeany}};
  int checked = 0;
  for (const auto& editor : editors) {
    if (platform::findProgram(editor.program).empty()) continue;
    const std::string command =
        defaultEditorCommand([&](const std::string& program) { return program == editor.program; });
    SCOPED_TRACE(command);
    editor.check(command);
    ++checked;
  }
  if (checked == 0) GTEST_SKIP() << "none of the default editors is installed";
}

}  // namespace
