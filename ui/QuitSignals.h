// Ending the program on SIGTERM, SIGINT and SIGHUP (a desktop session that
// ends, Ctrl-C in the terminal it was started from, that terminal closed) the way closing its main
// window ends it: a running import stops between two records, every message
// loop returns, the dialogs close and the store commits what was posted.
//
// The signal handler itself only writes one byte into a socket pair; the
// message loop reads it through a QSocketNotifier and does the rest, so that
// nothing but async-signal-safe calls happen inside the handler.
#pragma once

#include <QObject>

#include <signal.h>

#include <csignal>
#include <optional>

#include "import/SignalHold.h"

class QSocketNotifier;

namespace tolvo {

// True once the program has been asked to end by a signal (or by
// RequestQuit). A running import stops before its next record, and plain
// messages are no longer shown: nobody is there to answer them.
bool QuitRequested();

// Asks the program to end: sets QuitRequested and makes every running
// message loop return (the main loop, a modal dialog's, a message box's).
void RequestQuit();

// Forgets an earlier request; for tests that run the program more than once
// in one process.
void ResetQuitRequest();

// Holds SIGTERM, SIGINT and SIGHUP back in the calling thread for its lifetime and
// then puts the program's own handlers back in place: the database client
// installs handlers of its own on its first connection, which would shut
// the engine down on a signal before the posted rows are committed. Threads
// that the client starts meanwhile keep the signals blocked, so that they
// always reach the thread that runs the message loop. Hold one around every
// call that may connect to the database. Without QuitSignals in place it
// changes nothing.
class QuitSignalsHeld {
 public:
  QuitSignalsHeld();
  QuitSignalsHeld(const QuitSignalsHeld&) = delete;
  QuitSignalsHeld& operator=(const QuitSignalsHeld&) = delete;

 private:
  std::optional<SignalHold> hold_;
};

class QuitSignals : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers for SIGTERM, SIGINT and SIGHUP; needs the application
  // object. Only one instance may exist at a time.
  explicit QuitSignals(QObject* parent = nullptr);
  // Gives the signals their previous handlers back.
  ~QuitSignals() override;
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

  // Whether the handlers are in place (a socket pair could be made).
  bool Installed() const { return notifier_ != nullptr; }

 private slots:
  void Received();

 private:
  int fds_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
  friend class QuitSignalsHeld;
  // Installs the handler for the three signals (again), keeping their
  // previous handlers in `previous` unless it is null.
  static void InstallHandlers(struct sigaction* previous);

  struct sigaction previous_[3]{};
};

}  // namespace tolvo
