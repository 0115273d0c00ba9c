// A long-lived child program that serves requests on the loopback
// interface: the HTML5 checker's HTTP service.
//
// The child runs in a process group of its own, with standard input, output
// and error on /dev/null and no other descriptor, no blocked signals and
// every signal at its default action, exactly as a validator run does
// (platform/child_process.h); unlike a validator run it is not waited for.
// It is forked on a thread of this object's own, so that it is killed when
// the object goes or the program is killed outright, and only then.
// It is given port 0 and so listens on a port the kernel chose: the port is
// read back from the kernel's table of listening TCP sockets, and only a
// socket the child itself holds, bound to 127.0.0.1 or ::1, counts. So no
// port is ever guessed, and no other program's server is ever taken for
// the child.
//
// end() (and the destructor) ends the whole group: SIGTERM first, SIGKILL
// a moment later for whatever is left, then reaps the child. One thread at
// a time; the owner serialises the calls.
//
// On Windows the child runs without a console window and inherits no
// handle, in a job that ends with this program, so that a killed program
// leaves no service behind; its port comes from the system's table of
// listening TCP sockets and their owners' process ids. end() ends the whole
// job at once: a service has nothing to save. A child that crashed ends
// Signalled with its exception code (platform/child_process.h), any other,
// ended by end() too, Exited with its exit code.
#ifndef TESSAVO_PLATFORM_SERVICE_PROCESS_H_
#define TESSAVO_PLATFORM_SERVICE_PROCESS_H_

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "platform/child_process.h"
#include "platform/lasting_thread.h"

namespace platform {

class ServiceProcess {
 public:
  enum class Wait { Listening, Ended, Stopped, TimedOut };

  ServiceProcess() = default;
  ~ServiceProcess();
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  // Starts the child; a running one is ended first. False, with the errno
  // value in `*error`, when it cannot be executed.
  bool start(const ChildLaunch& launch, int* error);

  // Waits until the child listens on a loopback port, which goes into
  // `*port`, or it ends, `stop` (may be null) is set, or `timeoutSeconds`
  // pass (0 or less: no limit). Looks every few tens of milliseconds.
  Wait waitUntilListening(const std::atomic<bool>* stop, int timeoutSeconds, int* port);

  // True while the child has been started and has not ended.
  bool isRunning();

  // Waits up to `limit` for the child to end; true when it has ended (or
  // none was started).
  bool waitForEnd(std::chrono::milliseconds limit);

  // How the child ended, once isRunning() is false: End::Exited with its
  // exit status, or End::Signalled with the signal; NotStarted when it
  // never ran.
  ChildOutcome outcome();

  // Ends the child's group and reaps the child; safe to repeat.
  void end();

  int pid() const { return pid_; }

 private:
  // Reaps the child if it has ended, keeping its outcome.
  void reapIfEnded();

  int pid_ = 0;  // 0 when no child is held
  // The thread that forks the child (POSIX), made at the first start.
  std::unique_ptr<LastingThread> launcher_;
  ChildOutcome outcome_;
  // The child's and its job's HANDLEs (Win32).
  [[maybe_unused]] void* process_ = nullptr;
  [[maybe_unused]] void* job_ = nullptr;
};

// The loopback TCP port on which process `pid` listens, or 0 when it holds
// no listening socket bound to 127.0.0.1 or ::1.
int loopbackListeningPort(int pid);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_SERVICE_PROCESS_H_
