#include "ui/QuitSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <iterator>

namespace tolvo {
namespace {

// A desktop session that ends, Ctrl-C, and a terminal that went away.
constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

std::atomic<bool> quitRequested{false};

// The write end of the socket pair, for the handler; -1 when none is set.
volatile std::sig_atomic_t signalWriteFd = -1;

// Whether a QuitSignals is in place.
std::atomic<bool> handlersInstalled{false};

extern "C" void OnQuitSignal(int signalNumber) {
  const int savedErrno = errno;
  const int fd = signalWriteFd;
  if (fd < 0) {
    // Nobody to hand it to (the program is past its windows): the signal
    // does what it does by default.
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
    errno = savedErrno;
    return;
  }
  const char byte = static_cast<char>(signalNumber);
  // Non-blocking: when the pair is full, a byte is waiting already.
  [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
  errno = savedErrno;
}

bool MakeNonBlockingCloseOnExec(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  const int fdFlags = ::fcntl(fd, F_GETFD);
  return flags >= 0 && fdFlags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 &&
         ::fcntl(fd, F_SETFD, fdFlags | FD_CLOEXEC) == 0;
}

}  // namespace

bool QuitRequested() { return quitRequested.load(); }

void RequestQuit() {
  quitRequested.store(true);
  // Ends every loop that runs now, the nested ones of modal dialogs and
  // message boxes included; the code that started them unwinds normally.
  QCoreApplication::exit(0);
}

void ResetQuitRequest() { quitRequested.store(false); }

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds_) != 0) {
    std::perror("TolvoIMP: socketpair");
    fds_[0] = fds_[1] = -1;
    return;
  }
  if (!MakeNonBlockingCloseOnExec(fds_[0]) || !MakeNonBlockingCloseOnExec(fds_[1])) {
    std::perror("TolvoIMP: fcntl");
    ::close(fds_[0]);
    ::close(fds_[1]);
    fds_[0] = fds_[1] = -1;
    return;
  }
  notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::Received);
  signalWriteFd = fds_[1];
  InstallHandlers(previous_);
  handlersInstalled.store(true);
}

void QuitSignals::InstallHandlers(struct sigaction* previous) {
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  // Restarted system calls: a read or write interrupted by the signal goes
  // on instead of failing with EINTR somewhere in a library.
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kQuitSignals); ++i)
    ::sigaction(kQuitSignals[i], &action, previous ? &previous[i] : nullptr);
}

QuitSignalsHeld::QuitSignalsHeld() {
  if (!handlersInstalled.load()) return;
  hold_.emplace(std::vector<int>(std::begin(kQuitSignals), std::end(kQuitSignals)), [] {
    if (handlersInstalled.load()) QuitSignals::InstallHandlers(nullptr);
  });
}

QuitSignals::~QuitSignals() {
  if (!notifier_) return;
  handlersInstalled.store(false);
  for (std::size_t i = 0; i < std::size(kQuitSignals); ++i)
    ::sigaction(kQuitSignals[i], &previous_[i], nullptr);
  signalWriteFd = -1;
  delete notifier_;
  notifier_ = nullptr;
  ::close(fds_[0]);
  ::close(fds_[1]);
}

void QuitSignals::Received() {
  char buffer[64];
  while (::read(fds_[0], buffer, sizeof buffer) > 0) {
  }
  RequestQuit();
}

}  // namespace tolvo
