#include "platform/html_handler.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The XDG folders of one case, under a folder of the test; the variables
// come back as they were when it goes.
class Folders {
 public:
  Folders() : root_(::testing::TempDir() + "html_handler_" + std::to_string(::getpid()) + "/") {
    std::filesystem::remove_all(root_);
    for (const char* variable : kVariables) {
      const char* value = std::getenv(variable);
      saved_.emplace_back(value != nullptr ? value : "");
      had_.push_back(value != nullptr);
    }
    ::setenv("XDG_CONFIG_HOME", (root_ + "config").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (root_ + "etc").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root_ + "data").c_str(), 1);
    ::setenv("XDG_DATA_DIRS", (root_ + "usr:" + root_ + "usr-local").c_str(), 1);
  }
  ~Folders() {
    for (std::size_t i = 0; i < std::size(kVariables); ++i) {
      if (had_[i]) {
        ::setenv(kVariables[i], saved_[i].c_str(), 1);
      } else {
        ::unsetenv(kVariables[i]);
      }
    }
    std::filesystem::remove_all(root_);
  }
  void write(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(root_ + path).parent_path());
    std::ofstream(root_ + path) << text;
  }

 private:
  static constexpr const char* kVariables[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS",
                                               "XDG_DATA_HOME", "XDG_DATA_DIRS"};
  std::string root_;
  std::vector<std::string> saved_;
  std::vector<bool> had_;
};

const char kBrowser[] = "Categories=Network;WebBrowser;\nMimeType=text/html;\n";
const char kHttpHandler[] = "Categories=Network;\nMimeType=text/html;x-scheme-handler/http;\n";
const char kEditor[] = "Categories=Development;TextEditor;\nMimeType=text/html;\n";

TEST(HtmlHandler, FindsTheDefaultAsTheDesktopDoes) {
  const struct {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files;
    const char* handler;
    bool browser;
  } cases[] = {
      {"nothing installed", {}, "", false},
      {"only an editor claims HTML",
       {{"usr/applications/editor.desktop", kEditor},
        {"usr/applications/mimeinfo.cache", "[MIME Cache]\ntext/html=editor.desktop;\n"}},
       "editor.desktop",
       false},
      {"the user's default beats the claims",
       {{"usr/applications/editor.desktop", kEditor},
        {"usr/applications/web.desktop", kBrowser},
        {"usr/applications/mimeinfo.cache",
         "[MIME Cache]\ntext/html=editor.desktop;web.desktop;\n"},
        {"config/mimeapps.list", "[Default Applications]\ntext/html=web.desktop\n"}},
       "web.desktop",
       true},
      {"the user's configuration beats the system's",
       {{"usr/applications/editor.desktop", kEditor},
        {"usr/applications/web.desktop", kBrowser},
        {"etc/mimeapps.list", "[Default Applications]\ntext/html=web.desktop\n"},
        {"config/mimeapps.list", "[Default Applications]\ntext/html=editor.desktop\n"}},
       "editor.desktop",
       false},
      {"a default that is not installed is passed over",
       {{"usr-local/applications/editor.desktop", kEditor},
        {"data/applications/mimeapps.list",
         "[Default Applications]\ntext/html=gone.desktop;editor.desktop;\n"}},
       "editor.desktop",
       false},
      {"added associations come before the claims",
       {{"usr/applications/editor.desktop", kEditor},
        {"usr/applications/http.desktop", kHttpHandler},
        {"usr/applications/mimeinfo.cache", "[MIME Cache]\ntext/html=editor.desktop;\n"},
        {"config/mimeapps.list", "[Added Associations]\ntext/html=http.desktop;\n"}},
       "http.desktop",
       true},
  };
  for (const auto& c : cases) {
    Folders folders;
    for (const auto& [path, text] : c.files) {
      if (path.find(".desktop") != std::string::npos) {
        folders.write(path, "[Desktop Entry]\nType=Application\nName=x\n" + text);
      } else {
        folders.write(path, text);
      }
    }
    EXPECT_EQ(platform::defaultApplicationFor("text/html"), c.handler) << c.what;
    EXPECT_EQ(platform::htmlOpensInWebBrowser(), c.browser) << c.what;
  }
}

}  // namespace
