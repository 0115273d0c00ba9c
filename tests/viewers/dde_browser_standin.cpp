// A browser for the tests: answers the DDE topics over the program's IPC
// stand-in, from a table, and reports what it was asked.
//
// Usage: dde_browser_standin SOCKET TABLE
// TABLE has one line per answer: topic TAB item TAB reply, where the reply is
// "hex:" and the reply's bytes in hexadecimal, or "stall:" and a number of
// milliseconds to wait before failing. The item "*" answers any item of its
// topic. A request without an answer fails.
//
// The program prints "ready" once it listens, then one line per event:
// "CONNECT <topic>" and "REQUEST <topic> <item>" (tab-separated). A request
// for the item "quit" on the topic "control" ends it once that conversation
// is over; a request answered with "vanish:" ends it at once, without a reply.
#include <wx/evtloop.h>
#include <wx/init.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <utility>

#include "ui/ipc/ipc_channel.h"

namespace {

std::string fromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

void report(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  wxInitializer initializer;
  if (!initializer.IsOk()) return 1;

  std::map<std::pair<std::string, std::string>, std::string> answers;
  std::ifstream table(argv[2]);
  for (std::string line; std::getline(table, line);) {
    const auto tab1 = line.find('\t');
    const auto tab2 = line.find('\t', tab1 + 1);
    if (tab1 == std::string::npos || tab2 == std::string::npos) continue;
    answers[{line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1)}] = line.substr(tab2 + 1);
  }

  wxConsoleEventLoop loop;
  bool quitting = false;
  IpcServer::Handlers handlers;
  handlers.accept = [](const std::string& topic) {
    report("CONNECT\t" + topic);
    return true;
  };
  handlers.request = [&](const std::string& topic, const std::string& item, std::string* reply) {
    if (topic == "control" && item == "quit") {
      quitting = true;
      *reply = "bye";
      return true;
    }
    report("REQUEST\t" + topic + "\t" + item);
    auto found = answers.find({topic, item});
    if (found == answers.end()) found = answers.find({topic, "*"});
    if (found == answers.end()) return false;
    const std::string& answer = found->second;
    if (answer.rfind("vanish:", 0) == 0) std::_Exit(0);
    if (answer.rfind("stall:", 0) == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(answer.substr(6))));
      return false;
    }
    *reply = fromHex(answer.substr(answer.find(':') + 1));
    return true;
  };
  handlers.disconnected = [&](const std::string& topic) {
    if (quitting && topic == "control") loop.ScheduleExit();
  };
  IpcServer server(std::move(handlers));
  if (!server.listen(argv[1])) return 1;
  report("ready");
  loop.Run();
  return 0;
}
