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

// http.server's own handler behind an ssl context; it reports its port the
// way `python3 -m http.server` does. The handshake happens in the handler's
// thread, so a client that refuses the certificate does not end the server.
const char kTlsServer[] =
    "import functools, http.server, ssl, sys\n"
    "folder, certificate, key = sys.argv[1:4]\n"
    "handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=folder)\n"
    "server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)\n"
    "context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)\n"
    "context.load_cert_chain(certificate, key)\n"
    "server.socket = context.wrap_socket(server.socket, server_side=True)\n"
    "print('Serving HTTPS on 127.0.0.1 port %d' % server.server_address[1])\n"
    "server.serve_forever()\n";

}  // namespace

PythonHttpServer::PythonHttpServer(const std::string& folder, const TlsIdentity* tls)
    : secure_(tls != nullptr) {
  // The shell reports its own process id and then becomes the server, so
  // that id is the one to stop. Unbuffered output makes the "Serving HTTP on
  // ... port N" line arrive as soon as the server listens.
  const std::string server =
      tls == nullptr
          ? std::string(" -u -m http.server 0 --bind 127.0.0.1 --directory ") + shellQuoted(folder)
          : std::string(" -u -c ") + shellQuoted(kTlsServer) + " " + shellQuoted(folder) + " " +
                shellQuoted(tls->certificate) + " " + shellQuoted(tls->key);
  const std::string command =
      std::string("echo $$; exec timeout 300 ") + kPython + server + " 2>/dev/null";
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
  return std::string(secure_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + path;
}
