// A Firebird 3 server of a test's own, as a user's machine runs one for the
// logging program: the installed server program, started as a child process
// on a loopback port of its own, with its own configuration, security
// database (SYSDBA with the program's password), lock folder and data
// folder, and stopped when the object goes. Nothing of the machine's own
// server setup is used or changed.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>

#include "tests/support/ScratchFolder.h"

namespace tolvo::testdb {

class FirebirdServer {
 public:
  // Starts a server and waits until it takes connections. Nothing, and the
  // reason in `why`, when it cannot be started (no server program here).
  static std::unique_ptr<FirebirdServer> Start(std::string& why);
  // Stops the server (SIGTERM, then SIGKILL after a grace period).
  ~FirebirdServer();
  FirebirdServer(const FirebirdServer&) = delete;
  FirebirdServer& operator=(const FirebirdServer&) = delete;

  int Port() const { return port_; }
  // The connection string through this server to a database file.
  std::string Connection(const std::filesystem::path& file) const;
  // A client's configuration folder (what FIREBIRD names) that differs from
  // the installed one only in the server port: a program started with it
  // finds this server where it would look for the machine's own.
  std::filesystem::path ClientConfiguration() const { return root_ / "client"; }
  // The CPU time the server has used so far.
  double CpuSeconds() const;
  // The server's output, for a failure.
  std::string Log() const;

 private:
  FirebirdServer() = default;
  bool Launch(std::string& why);
  void Stop();

  ScratchFolder folder_;
  std::filesystem::path root_;
  int port_ = 0;
  pid_t pid_ = -1;
};

}  // namespace tolvo::testdb
