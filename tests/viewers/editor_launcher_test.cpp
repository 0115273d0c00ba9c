#include "viewers/editor_launcher.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/process.h"
#include "tests/code_page_scope.h"
#include "tests/viewers/recording_starters.h"

namespace {

using platform::CodePage;

struct TemplateCase {
  const char* editorCommand;
  const char* path;
  int line;
  const char* expected;
};

// Cases whose result does not depend on the code page.
const TemplateCase kTemplateCases[] = {
    {"notepad.exe", "C:\\web\\a.html", -1, "notepad.exe C:\\web\\a.html"},
    {"cmp %f %f", "C:\\a.htm", 3, "cmp C:\\a.htm C:\\a.htm"},
    {"ed +%l", "C:\\a.htm", 12, "ed +12 C:\\a.htm"},
    {"ed +%l %f", "/w/a.htm", -1, "ed +1 /w/a.htm"},  // a header line, or the file pane
    {"ed +%l %f", "/w/a.htm", 0, "ed +1 /w/a.htm"},   // an error without a line number
    {"ed +%l %f", "/w/a.htm", 1, "ed +1 /w/a.htm"},
    {"ed +%l %f", "/w/a.htm", 2147483647, "ed +2147483647 /w/a.htm"},
    {"ed %L %F", "/w/a.htm", 5, "ed %L %F /w/a.htm"},         // case-sensitive
    {"ed %f", "/my docs/a b.htm", 1, "ed /my docs/a b.htm"},  // no quotes added
    {"", "/w/a.htm", 1, " /w/a.htm"},
    {"ed 100% %", "/w/a.htm", 1, "ed 100% % /w/a.htm"},
    {"ed %%f", "/w/a.htm", 1, "ed %/w/a.htm"},
    {"ed %l%l:%f", "/w/a.htm", 7, "ed 77:/w/a.htm"},
    {"ed \"%f\"", "/w/a.htm", 1, "ed \"/w/a.htm\""},
};

TEST(EditorCommandLine, TemplateCasesUnderBothCodePages) {
  for (const CodePage codePage : {CodePage::Utf8, CodePage::Cp932}) {
    CodePageScope scope(codePage);
    for (const TemplateCase& c : kTemplateCases) {
      EXPECT_EQ(editorCommandLine(c.editorCommand, c.path, c.line), c.expected)
          << "template \"" << c.editorCommand << "\" code page " << static_cast<int>(codePage);
    }
  }
}

TEST(EditorCommandLine, SecondByteOfADoubleByteCharacterIsNeverAPlaceholder) {
  const std::string path = "/w/a.htm";
  {
    CodePageScope cp932(CodePage::Cp932);
    // 0x95 leads a double-byte character whose second byte here is "%".
    EXPECT_EQ(editorCommandLine("ed \x95%f", path, 1), "ed \x95%f /w/a.htm");
    EXPECT_EQ(editorCommandLine("ed \x95%l %f", path, 4), "ed \x95%l /w/a.htm");
    // 0x95 0x5C is one character; the placeholder after it still counts.
    EXPECT_EQ(editorCommandLine("\x95\x5C%f", path, 1), "\x95\x5C/w/a.htm");
    // A lead byte at the very end is copied alone.
    EXPECT_EQ(editorCommandLine("ed\x95", path, 1), "ed\x95 /w/a.htm");
  }
  {
    CodePageScope utf8(CodePage::Utf8);
    // 0x95 is no lead byte in UTF-8, so the same template has a placeholder.
    EXPECT_EQ(editorCommandLine("ed \x95%f", path, 1), "ed \x95/w/a.htm");
    // A whole sequence is copied; a cut-off one does not swallow the "%".
    EXPECT_EQ(editorCommandLine("\xE7\xB7\xA8 %l %f", path, 9), "\xE7\xB7\xA8 9 /w/a.htm");
    EXPECT_EQ(editorCommandLine("\xE7%l %f", path, 9),
              "\xE7"
              "9 /w/a.htm");
  }
  {
    CodePageScope cp932(CodePage::Cp932);
    EXPECT_EQ(editorCommandLine("\xE7%l %f", path, 9), "\xE7%l /w/a.htm");
  }
}

TEST(EditorCommandLine, LongPathsAreNeverCut) {
  const std::string path = "/w/" + std::string(1500, 'd') + "/a.htm";
  const std::string longTemplate = "ed " + std::string(600, 'x') + " +%l %f";
  for (const CodePage codePage : {CodePage::Utf8, CodePage::Cp932}) {
    CodePageScope scope(codePage);
    EXPECT_EQ(editorCommandLine(longTemplate, path, 8),
              "ed " + std::string(600, 'x') + " +8 " + path);
    EXPECT_EQ(editorCommandLine("ed %f %f", path, 8), "ed " + path + " " + path);
    EXPECT_EQ(editorCommandLine("ed", path, 8), "ed " + path);
  }
}

TEST(EditorCommandLine, EmbeddedNulIsCopied) {
  const std::string withNul("ed\0%f", 5);
  EXPECT_EQ(editorCommandLine(withNul, "/a", 1), std::string("ed\0/a", 5));
}

TEST(OpenInEditor, StartsOnlyLocalFiles) {
  RecordingProcessStarter starter;
  CheckTarget file{TargetKind::File, "C:\\web\\a.html"};
  CheckTarget http{TargetKind::Http, "http://host/a.html"};

  EXPECT_FALSE(openInEditor("ed %f", nullptr, 3, starter));
  EXPECT_FALSE(openInEditor("ed %f", &http, 3, starter));
  EXPECT_TRUE(starter.started.empty());

  EXPECT_TRUE(openInEditor("ed +%l %f", &file, 3, starter));
  // The starter's word on a failed start reaches the caller.
  starter.failure = "missing-editor: No such file or directory";
  std::string heard;
  EXPECT_TRUE(openInEditor("missing-editor", &file, -1, starter,
                           [&](const std::string& reason) { heard = reason; }));
  EXPECT_EQ(heard, starter.failure);
  EXPECT_EQ(starter.started,
            (std::vector<std::string>{"ed +3 C:\\web\\a.html", "missing-editor C:\\web\\a.html"}));
}

TEST(DefaultEditor, FirstInstalledEditorWithLineJumpElseDesktopHandler) {
  struct Case {
    std::set<std::string> installed;
    const char* expected;
  };
  const Case cases[] = {
      {{}, "xdg-open \"%f\""},
      {{"vi", "notepad.exe"}, "xdg-open \"%f\""},
      {{"geany"}, "geany \"%f:%l\""},
      {{"mousepad", "geany"}, "mousepad --line %l \"%f\""},
      {{"kate", "pluma"}, "kate --line %l \"%f\""},
      {{"pluma", "gedit", "kate"}, "gedit +%l \"%f\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(defaultEditorCommand([&c](const std::string& p) { return c.installed.count(p) > 0; }),
              c.expected);
  }
}

TEST(DefaultEditor, PathWithBlanksStaysOneArgument) {
  // The default templates quote "%f" because the command line is split.
  const std::string path = "/home/u/my docs/a b.html";
  const struct {
    const char* program;
    std::string lastArgument;  // geany takes the line with the file
  } editors[] = {{"gedit", path}, {"kate", path},          {"mousepad", path},
                 {"pluma", path}, {"geany", path + ":42"}, {"xdg-open", path}};
  for (const auto& editor : editors) {
    const std::string program = editor.program;
    const std::string command =
        defaultEditorCommand([&program](const std::string& p) { return p == program; });
    const std::vector<std::string> arguments =
        platform::splitCommandLine(editorCommandLine(command, path, 42));
    ASSERT_FALSE(arguments.empty());
    EXPECT_EQ(arguments.front(), program);
    EXPECT_EQ(arguments.back(), editor.lastArgument) << command;
    const std::string joined = editorCommandLine(command, path, 42);
    if (program != "xdg-open") {
      EXPECT_NE(joined.find("42"), std::string::npos) << command;
    }
  }
}

TEST(DefaultEditor, IsNeverEmpty) {
  EXPECT_FALSE(defaultEditorCommand().empty());
}

}  // namespace
