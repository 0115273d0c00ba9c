#include "python_http_server.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kPython[] = "/usr/bin/python3";

std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool readLine(std::FILE* file, std::string* line) {
  line->clear();
  for (int c; (c = std::fgetc(file)) != EOF;) {
    if (c == '\n') return true;
    line->push_back(static_cast<char>(c));
  }
  return !line->empty();
}

}  // namespace

PythonHttpServer::PythonHttpServer(const std::string& folder) {
  // The shell reports its own process id and then becomes the server, so
  // that id is the one to stop. Unbuffered output makes the "Serving HTTP on
  // ... port N" line arrive as soon as the server listens.
  const std::string command = std::string("echo $$; exec timeout 300 ") + kPython +
                              " -u -m http.server 0 --bind 127.0.0.1 --directory " +
                              shellQuoted(folder) + " 2>/dev/null";
  output_ = popen(command.c_str(), "r");
  if (output_ == nullptr) return;
  std::string line;
  if (!readLine(output_, &pid_)) return;
  if (!readLine(output_, &line)) return;
  const std::size_t at = line.find(" port ");
  if (at != std::string::npos) port_ = std::atoi(line.c_str() + at + 6);
}

PythonHttpServer::~PythonHttpServer() {
  if (output_ == nullptr) return;
  if (!pid_.empty() && pid_.find_first_not_of("0123456789") == std::string::npos) {
    const std::string command = "kill -TERM " + pid_ + " 2>/dev/null";
    if (std::system(command.c_str()) != 0) {
      // Already gone; pclose() below still collects it.
    }
  }
  pclose(output_);
}

std::string PythonHttpServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}
