#include "ui/prev_instance.h"

#include <wx/app.h>
#include <wx/snglinst.h>
#include <wx/utils.h>

#include <filesystem>
#include <system_error>

#include "platform/process.h"
#include "platform/temp_files.h"
#include "ui/ipc/ipc_channel.h"
#include "ui/wx_text.h"

namespace {

const char kTopic[] = "Tessavo";
// A start that finds the lock while the first instance is still coming up
// tries for this long before it runs on its own.
constexpr int kConnectAttempts = 20;
constexpr int kConnectPauseMs = 100;
// The first instance accepts, takes the hand-over and answers at once, from
// its event loop; one that has not done so within this time (stopped, or
// hanging) is given up, and this start opens a window of its own.
constexpr int kHandOverTimeoutMs = kIpcTimeoutMs;

}  // namespace

const char CPrevInstance::kName[] = "Tessavo";

std::string CPrevInstance::socketPath() {
  return ipcSocketPath(std::string(kName) + ".instance");
}

std::string CPrevInstance::absolutePath(const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::current_path(error);
  if (error) return path;
  std::string absolute = folder.string();
  if (absolute.empty() || absolute.back() != '/') absolute += '/';
  return absolute + path;
}

CPrevInstance::CPrevInstance() = default;

CPrevInstance::~CPrevInstance() {
  release();
}

void CPrevInstance::release() {
  server_.reset();
  mapping_.reset();
}

bool CPrevInstance::handOverToRunning(const std::vector<std::string>& arguments) {
  const std::string folder = platform::tempFolder();
  if (folder.empty()) return false;
  mapping_ = std::make_unique<wxSingleInstanceChecker>();
  if (!mapping_->Create(kName, toWx(folder))) {
    // No lock: an unregistered instance that neither hands over nor answers.
    mapping_.reset();
    return false;
  }
  platform::markDescriptorsCloseOnExec();
  exists_ = mapping_->IsAnotherRunning();
  if (!exists_) return false;

  std::string item = arguments.empty() ? std::string() : absolutePath(arguments.front());
  item += '\0';
  for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
    IpcConversation conversation(socketPath(), kTopic, kHandOverTimeoutMs);
    if (conversation.isOpen()) {
      std::string reply;
      return conversation.request(item, kHandOverTimeoutMs, &reply);
    }
    // Someone listens but does not answer: waiting longer would not help.
    if (conversation.timedOut()) return false;
    wxMilliSleep(kConnectPauseMs);
  }
  return false;
}

bool CPrevInstance::serve(std::function<void()> raise,
                          std::function<void(const std::string&)> arrived) {
  if (mapping_ == nullptr || exists_) return false;
  IpcServer::Handlers handlers;
  handlers.accept = [](const std::string& topic) { return topic == kTopic; };
  handlers.request = [raise, arrived](const std::string&, const std::string& item,
                                      std::string* reply) {
    std::string path = item;
    if (!path.empty() && path.back() == '\0') path.pop_back();
    if (raise) raise();
    if (!path.empty() && arrived) {
      // Taken from the event loop after the reply, so that the second start
      // does not wait for a question the file may bring up.
      wxTheApp->CallAfter([arrived, path] { arrived(path); });
    }
    *reply = "0";
    return true;
  };
  // The server that goes removes its socket file, so it goes first.
  server_.reset();
  auto server = std::make_unique<IpcServer>(std::move(handlers));
  if (!server->listen(socketPath())) return false;
  server_ = std::move(server);
  // The toolkit opens the lock and the socket without close-on-exec.
  platform::markDescriptorsCloseOnExec();
  return true;
}
