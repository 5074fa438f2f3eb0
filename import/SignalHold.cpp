#include "import/SignalHold.h"

#include <pthread.h>

#include <ctime>
#include <utility>

namespace tolvo {

SignalHold::SignalHold(const std::vector<int>& held, std::function<void()> reinstall,
                       std::function<void(int)> whileHeld)
    : reinstall_(std::move(reinstall)) {
  sigemptyset(&set_);
  for (int s : held) sigaddset(&set_, s);
  held_ = pthread_sigmask(SIG_BLOCK, &set_, &previous_) == 0;
  if (!held_ || !whileHeld) return;
  // Started after the block, so the thread has the signals blocked too and
  // takes them with sigtimedwait.
  watcher_ = std::thread([this, whileHeld = std::move(whileHeld)] {
    const timespec tick{0, 100'000'000};
    while (!done_) {
      const int got = sigtimedwait(&set_, nullptr, &tick);
      if (got > 0) whileHeld(got);
    }
  });
}

SignalHold::~SignalHold() {
  done_ = true;
  if (watcher_.joinable()) watcher_.join();
  if (!held_) return;
  if (reinstall_) reinstall_();
  pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace tolvo
