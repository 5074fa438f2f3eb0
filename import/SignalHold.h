// Holding stop signals back while the database client connects. The
// embedded engine puts handlers of its own in place on its first
// connection, which would shut it down on a signal before the posted rows
// are committed; the threads it starts meanwhile keep the signals blocked,
// so that they always reach the program's own thread. Afterwards the
// program's handlers are put back and a signal that came meanwhile is
// delivered to them.
#pragma once

#include <signal.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace tolvo {

class SignalHold {
 public:
  // Blocks `held` in the calling thread for the hold's lifetime; at its
  // end calls `reinstall` (which puts the program's handlers back) and
  // unblocks them. With `whileHeld`, a thread of the hold's own takes a
  // held signal as soon as it comes and calls `whileHeld` with it, on that
  // thread: for a connection that may take long, during which nothing has
  // been written yet.
  SignalHold(const std::vector<int>& held, std::function<void()> reinstall,
             std::function<void(int)> whileHeld = {});
  ~SignalHold();
  SignalHold(const SignalHold&) = delete;
  SignalHold& operator=(const SignalHold&) = delete;

 private:
  sigset_t set_{};
  sigset_t previous_{};
  bool held_ = false;
  std::function<void()> reinstall_;
  std::atomic<bool> done_{false};
  std::thread watcher_;
};

}  // namespace tolvo
