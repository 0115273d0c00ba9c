#include "nginx_server.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "platform/host_lookup.h"
#include "platform/socket.h"

namespace {

namespace fs = std::filesystem;

const char* const kNginxPlaces[] = {"/usr/sbin/nginx", "/usr/local/sbin/nginx"};

// A port that was free a moment ago.
int freePort() {
  int port = 0;
  platform::closeSocket(platform::listenOnLoopback(&port));
  return port;
}

bool accepts(int port) {
  platform::PeerAddress loopback;
  platform::numericHostAddress("127.0.0.1", &loopback);
  const platform::SocketHandle socket = platform::createClientSocket(loopback);
  platform::WaitLimit limit;
  limit.until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  const bool connected =
      platform::connectSocket(socket, loopback, port, limit) == platform::WaitResult::Ready;
  platform::closeSocket(socket);
  return connected;
}

std::string configuration(const std::string& prefix, const std::string& root, int port,
                          int securePort, const TlsIdentity& identity) {
  return "daemon off;\n"
         "master_process off;\n"
         "worker_processes 1;\n"
         "pid " +
         prefix +
         "nginx.pid;\n"
         "error_log " +
         prefix +
         "error.log;\n"
         "events { worker_connections 64; }\n"
         "http {\n"
         "  access_log off;\n"
         "  client_body_temp_path " +
         prefix +
         "body;\n"
         "  proxy_temp_path " +
         prefix +
         "proxy;\n"
         "  fastcgi_temp_path " +
         prefix +
         "fastcgi;\n"
         "  uwsgi_temp_path " +
         prefix +
         "uwsgi;\n"
         "  scgi_temp_path " +
         prefix +
         "scgi;\n"
         "  types { text/html html; }\n"
         "  default_type application/octet-stream;\n"
         "  keepalive_timeout 60;\n"
         "  server {\n"
         "    listen 127.0.0.1:" +
         std::to_string(port) +
         ";\n"
         "    listen 127.0.0.1:" +
         std::to_string(securePort) +
         " ssl;\n"
         "    ssl_certificate " +
         identity.certificate +
         ";\n"
         "    ssl_certificate_key " +
         identity.key +
         ";\n"
         "    root " +
         root +
         ";\n"
         "    add_header X-Connection $connection always;\n"
         "    location = /not-modified { return 304; }\n"
         "    location = /no-content { return 204; }\n"
         "    location /chunked/ {\n"
         "      rewrite ^/chunked(/.*)$ $1 break;\n"
         "      sub_filter_types *;\n"
         "      sub_filter 'no such text' 'none';\n"
         "    }\n"
         "  }\n"
         "}\n";
}

}  // namespace

NginxServer::NginxServer(const std::string& folder, const TlsIdentity& identity) {
  std::string nginx;
  for (const char* place : kNginxPlaces) {
    if (fs::exists(place)) nginx = place;
  }
  if (nginx.empty()) {
    problem_ = "nginx is not installed";
    return;
  }
  std::random_device random;
  prefix_ =
      (fs::temp_directory_path() / ("tessavo-nginx-" + std::to_string(random()))).string() + "/";
  fs::create_directories(prefix_);
  port_ = freePort();
  securePort_ = freePort();
  std::ofstream(prefix_ + "nginx.conf")
      << configuration(prefix_, fs::absolute(folder).string(), port_, securePort_, identity);

  // The shell reports its own process id and then becomes `timeout`, which
  // passes a TERM on to nginx.
  const std::string command = "echo $$; exec timeout 300 " + nginx + " -p '" + prefix_ + "' -e '" +
                              prefix_ + "error.log' -c '" + prefix_ + "nginx.conf' 2>/dev/null";
  process_ = popen(command.c_str(), "r");
  if (process_ == nullptr) {
    problem_ = "nginx could not be started";
    return;
  }
  char line[32] = {};
  if (std::fgets(line, sizeof line, process_) != nullptr) pid_ = std::to_string(std::atoi(line));
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    if (accepts(port_) && accepts(securePort_)) {
      available_ = true;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::ifstream log(prefix_ + "error.log");
  problem_ = "nginx did not listen within 10 seconds: " +
             std::string(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
}

NginxServer::~NginxServer() {
  if (process_ != nullptr) {
    if (!pid_.empty() && pid_ != "0") {
      const std::string command = "kill -TERM " + pid_ + " 2>/dev/null";
      if (std::system(command.c_str()) != 0) {
        // Already gone; pclose() below still collects it.
      }
    }
    pclose(process_);
  }
  if (!prefix_.empty()) {
    std::error_code ignored;
    fs::remove_all(prefix_, ignored);
  }
}

std::string NginxServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string NginxServer::secureUrl(const std::string& path) const {
  return "https://127.0.0.1:" + std::to_string(securePort_) + path;
}
