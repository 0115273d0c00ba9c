#include "engine/html5_checker.h"

#include <chrono>
#include <utility>

#include "engine/html5_service_folder.h"
#include "net/decimal_text.h"
#include "platform/child_process.h"
#include "platform/executable_path.h"
#include "platform/file_handle.h"
#include "platform/file_system.h"
#include "platform/local_text.h"
#include "platform/process.h"
#include "platform/profile_reader.h"
#include "platform/run_folder.h"
#include "platform/settings_location.h"

namespace {

using End = platform::ChildOutcome::End;

// A value that no setting can hold, to tell an absent setting from an empty
// one.
const char kAbsent[] = "\x01";

// How long a service whose connection broke may take to be seen ended.
constexpr std::chrono::milliseconds kEndSettles{300};

std::string profileText(const char* key, const std::string& fallback) {
  return platform::readProfileString(platform::settingsFilePath(), "Settings", key, fallback,
                                     platform::ProfileDialect::WxFileConfig);
}

int positiveProfileNumber(const char* key, int fallback) {
  const int value = net::leadingDecimal(profileText(key, "").c_str());
  return value > 0 ? value : fallback;
}

std::string endText(const platform::ChildOutcome& outcome) {
  if (outcome.end == End::Signalled) return platform::signalName(outcome.status);
  return platform::localText("終了コード ") + std::to_string(outcome.status);
}

}  // namespace

bool Html5CheckerSettings::operator==(const Html5CheckerSettings& other) const {
  return jar == other.jar && java == other.java && heapMegabytes == other.heapMegabytes &&
         documentLimit == other.documentLimit;
}

std::string defaultHtml5CheckerJar() {
  return platform::programDataFolder() + "vnu.jar";
}

Html5CheckerSettings html5CheckerSettingsFromProfile() {
  Html5CheckerSettings settings;
  const std::string jar = profileText("HTML5Checker", kAbsent);
  settings.jar = jar == kAbsent ? defaultHtml5CheckerJar() : jar;
  const std::string java = profileText("Java", "");
  if (!java.empty()) settings.java = java;
  settings.heapMegabytes = positiveProfileNumber("HTML5CheckerHeap", settings.heapMegabytes);
  settings.documentLimit =
      static_cast<std::int64_t>(positiveProfileNumber("DownloadLimit", 64)) * 1024 * 1024;
  return settings;
}

Html5Checker::Html5Checker(Html5CheckerSettings settings) : settings_(std::move(settings)) {
  beginRun();
}

Html5Checker::~Html5Checker() {
  end();
}

void Html5Checker::beginRun() {
  std::lock_guard<std::mutex> lock(mutex_);
  startFailure_.clear();
  unavailable_.clear();
  program_.clear();
  if (settings_.jar.empty()) {
    unavailable_ = platform::localText("HTML5 チェッカーは使わない設定");
    return;
  }
  if (!platform::FileHandle().openRegularForReading(settings_.jar)) {
    unavailable_ = "vnu.jar" + platform::localText(" が見つかりません: ") + settings_.jar;
    return;
  }
  // The service works in the caller's folder; a relative Java path is made
  // absolute so that it means the same file later.
  program_ = platform::findProgram(settings_.java);
  if (program_.empty()) {
    unavailable_ = settings_.java + platform::localText(" が見つかりません");
    return;
  }
  program_ = platform::absolutePath(program_);
}

std::string Html5Checker::unavailableReason() {
  std::lock_guard<std::mutex> lock(mutex_);
  return unavailable_;
}

int Html5Checker::port(const std::atomic<bool>& stop, int timeoutSeconds, std::string* failure) {
  std::lock_guard<std::mutex> lock(mutex_);
  failure->clear();
  if (!unavailable_.empty()) {
    *failure = unavailable_;
    return 0;
  }
  if (!startFailure_.empty()) {
    *failure = startFailure_;
    return 0;
  }
  if (port_ != 0 && service_.isRunning()) return port_;
  port_ = 0;
  *failure = startLocked(stop, timeoutSeconds);
  return port_;
}

std::string Html5Checker::startLocked(const std::atomic<bool>& stop, int timeoutSeconds) {
  platform::RunFolder folder;
  platform::ChildLaunch launch;
  launch.program = program_;
  launch.folder = prepareHtml5ServiceFolder(&folder) ? folder.path() : "/";
  launch.arguments = {
      settings_.java,
      "-Xmx" + std::to_string(settings_.heapMegabytes) + "m",
      // Only the quick compiler: the slow one's compiling took over 40% of
      // all the processor time of a first run of 200 pages, on the cores
      // the workers and the SGML validator need, and made a warm re-check
      // only about a tenth faster. Its code keeps larger frames on the
      // stack, so the checker's recursion through its schemas needs more
      // than the 1 MiB default (2 MiB was enough).
      "-XX:TieredStopAtLevel=1",
      "-Xss8m",
      "-Djava.awt.headless=true",
      "-Dnu.validator.servlet.bind-address=127.0.0.1",
      "-Dnu.validator.servlet.max-file-size=" + std::to_string(settings_.documentLimit),
      "-cp",
      platform::absolutePath(settings_.jar),
      "nu.validator.servlet.Main",
      "0",
  };
  const std::string what = platform::localText("HTML5 チェッカーを起動できない: ") + program_ +
                           " -cp " + settings_.jar + ": ";
  int error = 0;
  if (!service_.start(launch, &error)) {
    startFailure_ = what + platform::errorText(error);
    return startFailure_;
  }
  int port = 0;
  switch (service_.waitUntilListening(&stop, timeoutSeconds, &port)) {
    case platform::ServiceProcess::Wait::Listening:
      port_ = port;
      return std::string();
    case platform::ServiceProcess::Wait::Stopped:
      // Not a failure of the checker: the next run starts it again.
      service_.end();
      return std::string();
    case platform::ServiceProcess::Wait::TimedOut:
      service_.end();
      startFailure_ = what + platform::localText("応答なし ") + std::to_string(timeoutSeconds) +
                      platform::localText(" 秒");
      return startFailure_;
    case platform::ServiceProcess::Wait::Ended:
      break;
  }
  startFailure_ = what + endText(service_.outcome());
  return startFailure_;
}

std::string Html5Checker::endedReason() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!service_.waitForEnd(kEndSettles)) return std::string();
  return platform::localText("HTML5 チェッカーが異常終了: ") + endText(service_.outcome());
}

int Html5Checker::servicePid() {
  std::lock_guard<std::mutex> lock(mutex_);
  return service_.isRunning() ? service_.pid() : 0;
}

void Html5Checker::end() {
  std::lock_guard<std::mutex> lock(mutex_);
  service_.end();
  port_ = 0;
}
