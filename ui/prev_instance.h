// Finding the instance of the program that already runs for this user, and
// handing it a file.
//
// The first instance to start holds a lock named "Tessavo" in the user's
// private runtime folder (wxSingleInstanceChecker) and, once its window is
// shown, answers on a Unix-domain socket beside it. A later start finds the
// lock, connects, hands over its first argument (made absolute, as the first
// instance works in another folder) and ends; the first instance raises its
// window and takes the file.
//
// A later start that finds the lock but no answer runs as a full instance
// of its own, with its own window and its arguments, that never answers
// later starts: so it does when the first is still starting, and when the
// first does not accept, take or answer the hand-over within the time-out
// (it is stopped or hangs). The file is then in the new window, never lost;
// a first instance that goes on later finds the hand-over abandoned and
// leaves it alone.
//
// The handed-over item is the path's bytes and a NUL; a lone NUL (no
// argument) asks only for the window to be raised. The first instance
// replies "0" at once and takes the file afterwards from its event loop, so
// a question it asks meanwhile never keeps the second start waiting.
//
// Ownership: the lock and the server are owned and released on
// destruction. User-interface thread only (wx's sockets).
#ifndef TESSAVO_UI_PREV_INSTANCE_H_
#define TESSAVO_UI_PREV_INSTANCE_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

class IpcServer;
class wxSingleInstanceChecker;

class CPrevInstance {
 public:
  CPrevInstance();
  virtual ~CPrevInstance();
  CPrevInstance(const CPrevInstance&) = delete;
  CPrevInstance& operator=(const CPrevInstance&) = delete;

  // Takes the lock, or finds another instance holding it. When that one
  // takes the first of `arguments` and answers in time, returns true: this
  // start is to end. False: this is a full instance.
  bool handOverToRunning(const std::vector<std::string>& arguments);

  // Called once the window is shown: when this instance holds the lock,
  // answers later starts. `raise` shows the window; `arrived` gets a
  // handed-over path. False when nothing listens.
  bool serve(std::function<void()> raise, std::function<void(const std::string&)> arrived);

  // Stops answering and gives up the lock (at the program's end, while
  // wx's sockets still work).
  void release();

  // Another instance held the lock when this one started.
  bool exists() const { return exists_; }

  // The lock's name and the socket the first instance answers on.
  static const char kName[];
  static std::string socketPath();
  // `path` made absolute against the current folder; unchanged when it is
  // absolute or empty.
  static std::string absolutePath(const std::string& path);

 private:
  std::unique_ptr<wxSingleInstanceChecker> mapping_;
  bool exists_ = false;
  std::unique_ptr<IpcServer> server_;
};

#endif  // TESSAVO_UI_PREV_INSTANCE_H_
