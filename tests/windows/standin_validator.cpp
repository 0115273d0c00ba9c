// A stand-in for the user's nsgmls.exe in the Windows tests: it does what
// the script beside it says, so a test sees the check run meet designed
// error lines, a crash, a hang or an exit code, with no real validator.
//
// The script is "<this program's path>.script", one order a line:
//   write TEXT   a line for the error file (-f); "$in" in TEXT stands for
//                the document copy it was given (its last argument)
//   exit N       ends with exit code N (else 0 after the last order)
//   crash        an access violation, as a crashing validator's
//   hang         waits; gives up after a minute, so that a test that died
//                leaves nothing running for long
//   spawn        starts a copy of itself that hangs (a validator's own
//                child, which stop and time-out must end too)
//   sleep N      waits N milliseconds
//   listen ADDR  listens on ADDR (127.0.0.1 or ::1) at a port the system
//                picks, and writes the port to "<path>.port" (a service)
// Every run first appends its command line, its SP_ENCODING and its
// current folder to "<path>.log", one line each, so the test can wait for
// the run and read what it was given.
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string ownPath() {
  char path[MAX_PATH * 2];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, length);
}

void appendTo(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::app) << text;
}

std::string replaced(std::string text, const std::string& what, const std::string& with) {
  for (std::size_t at = text.find(what); at != std::string::npos;
       at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

void startHangingCopy(const std::string& self, const std::string& base) {
  appendTo(base + ".child.script", "hang\n");
  const std::string child = base + ".child.exe";
  CopyFileA(self.c_str(), child.c_str(), FALSE);
  std::string line = "\"" + child + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (CreateProcessA(child.c_str(), &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                     nullptr, &startup, &started)) {
    appendTo(base + ".child", std::to_string(started.dwProcessId) + "\n");
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
  }
}

// Listens on `address` at a port the system picks; the port, 0 on failure.
// The socket stays open until the program ends.
int listenOn(const std::string& address) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 0;
  addrinfo hints{};
  hints.ai_flags = AI_NUMERICHOST | AI_PASSIVE;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(address.c_str(), "0", &hints, &found) != 0) return 0;
  const SOCKET listener = socket(found->ai_family, SOCK_STREAM, IPPROTO_TCP);
  const bool listening = listener != INVALID_SOCKET &&
                         bind(listener, found->ai_addr, static_cast<int>(found->ai_addrlen)) == 0 &&
                         listen(listener, 1) == 0;
  freeaddrinfo(found);
  sockaddr_storage bound{};
  int size = sizeof bound;
  if (!listening || getsockname(listener, reinterpret_cast<sockaddr*>(&bound), &size) != 0) {
    return 0;
  }
  return ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                           : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string self = ownPath();
  const std::string base = self.substr(0, self.size() - 4);  // without ".exe"
  char folder[MAX_PATH * 2] = "";
  GetCurrentDirectoryA(sizeof folder, folder);
  const char* encoding = std::getenv("SP_ENCODING");
  appendTo(base + ".log", std::string(GetCommandLineA()) + "\n" +
                              (encoding != nullptr ? encoding : "(none)") + "\n" + folder + "\n");

  std::string errorFile;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]).rfind("-f", 0) == 0) errorFile = argv[i] + 2;
  }
  const std::string in = argc > 1 ? argv[argc - 1] : "";

  std::ifstream script(base + ".script", std::ios::binary);
  std::string order;
  while (std::getline(script, order)) {
    if (!order.empty() && order.back() == '\r') order.pop_back();
    if (order.rfind("write ", 0) == 0 && !errorFile.empty()) {
      appendTo(errorFile, replaced(order.substr(6), "$in", in) + "\n");
    } else if (order.rfind("exit ", 0) == 0) {
      return std::atoi(order.c_str() + 5);
    } else if (order == "crash") {
      RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    } else if (order == "hang") {
      Sleep(60000);
      return 99;
    } else if (order == "spawn") {
      startHangingCopy(self, base);
    } else if (order.rfind("sleep ", 0) == 0) {
      Sleep(static_cast<DWORD>(std::atoi(order.c_str() + 6)));
    } else if (order.rfind("listen ", 0) == 0) {
      appendTo(base + ".port", std::to_string(listenOn(order.substr(7))));
    }
  }
  return 0;
}
