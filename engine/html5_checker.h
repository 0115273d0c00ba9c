// The HTML5 checker: one warm HTTP service of the Nu Html Checker
// (vnu.jar on a Java runtime), shared by every worker of every run of its
// owner.
//
// The service starts when the first HTML5 page asks for it (port()), not
// before, as the child
//
//   <Java> -Xmx<heap>m -XX:TieredStopAtLevel=1 -Xss8m
//          -Dnu.validator.servlet.bind-address=127.0.0.1
//          -Dnu.validator.servlet.max-file-size=<body limit>
//          -cp <HTML5Checker> nu.validator.servlet.Main 0
//
// in a process group of its own (platform/service_process.h), in a folder
// of its own while it starts (engine/html5_service_folder.h), listening on
// 127.0.0.1 at a port the kernel chose. Its size limit for a document is
// raised to the download limit, since by default it closes the connection
// on larger bodies instead of answering. tessavo-check ends the service with
// its run; the window keeps it between runs and ends it at exit. A service
// that ended (killed, crashed) is started again for the next page; a start
// that failed is not tried again until the next run (beginRun()), so a
// broken installation costs one start per run, not one per page.
//
// Not available (unavailableReason()) means HTML5 pages go to the SGML
// validator as before: HTML5 checking turned off (an empty "HTML5Checker"),
// vnu.jar missing, or no Java program found. A checker that is there but
// fails (does not start, dies, stalls) is an error of the page instead.
//
// Threads: any worker may call port() and endedReason(); one mutex guards
// the service, and a start holds it, so the other workers wait for the one
// start. The owner calls beginRun() and end() while no worker runs.
#ifndef TESSAVO_ENGINE_HTML5_CHECKER_H_
#define TESSAVO_ENGINE_HTML5_CHECKER_H_

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/service_process.h"

struct Html5CheckerSettings {
  // vnu.jar ("HTML5Checker"); empty turns HTML5 checking off.
  std::string jar;
  // The Java program ("Java"): a name looked up on PATH, or a path.
  std::string java = "java";
  // The service's maximum heap in MiB ("HTML5CheckerHeap").
  int heapMegabytes = 1024;
  // The largest document in bytes ("DownloadLimit").
  std::int64_t documentLimit = 64 * 1024 * 1024;

  bool operator==(const Html5CheckerSettings& other) const;
  bool operator!=(const Html5CheckerSettings& other) const { return !(*this == other); }
};

// The vnu.jar installed with the program, in its data folder.
std::string defaultHtml5CheckerJar();

// The user's profile (group "Settings"): "HTML5Checker" (absent: the
// installed jar), "Java", "HTML5CheckerHeap" and "DownloadLimit".
Html5CheckerSettings html5CheckerSettingsFromProfile();

class Html5Checker {
 public:
  explicit Html5Checker(Html5CheckerSettings settings);
  ~Html5Checker();
  Html5Checker(const Html5Checker&) = delete;
  Html5Checker& operator=(const Html5Checker&) = delete;

  const Html5CheckerSettings& settings() const { return settings_; }

  // For a new run: looks again for the jar and Java, and forgets a failed
  // start.
  void beginRun();

  // Empty when the checker can be used; otherwise why not, as the pane
  // shows it after the SGML validator's notice ("java が見つかりません: java").
  std::string unavailableReason();

  // The port of the running service, started first when needed. 0 when it
  // cannot be had: `*failure` says why (without "E: "), or is empty when
  // `stop` ended the wait. `timeoutSeconds` (0: none) bounds a start.
  int port(const std::atomic<bool>& stop, int timeoutSeconds, std::string* failure);

  // After a request failed: why, when the service has ended or ends within
  // a moment ("HTML5 チェッカーが異常終了: SIGKILL"), since a killed service
  // closes its connections a little before it can be seen to have ended;
  // empty while it runs.
  std::string endedReason();

  // The service's process id, 0 when none runs.
  int servicePid();

  // Ends the service; the next port() starts a new one.
  void end();

 private:
  std::string startLocked(const std::atomic<bool>& stop, int timeoutSeconds);

  const Html5CheckerSettings settings_;
  std::mutex mutex_;
  platform::ServiceProcess service_;
  int port_ = 0;
  std::string program_;       // the Java program found, empty when none
  std::string unavailable_;   // why the checker cannot be used
  std::string startFailure_;  // why this run's start failed
};

#endif  // TESSAVO_ENGINE_HTML5_CHECKER_H_
