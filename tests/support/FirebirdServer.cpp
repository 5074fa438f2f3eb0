#include "tests/support/FirebirdServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <firebird/Interface.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/DbAccess.h"

extern char** environ;

namespace tolvo::testdb {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// An installation folder of the Firebird client, as it reports it.
fs::path InstalledDirectory(unsigned code) {
  const char* dir = Firebird::fb_get_master_interface()->getConfigManager()->getDirectory(code);
  return dir ? fs::path(dir) : fs::path();
}

// A port on the loopback interface that nothing listens on right now.
int FreeLoopbackPort() {
  const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    port = ntohs(address.sin_port);
  close(s);
  return port;
}

// Whether a socket listens on the loopback port, as the kernel lists it;
// asked without connecting, so that the server meets no client but the
// test's own.
bool Listening(int port) {
  char local[32];
  std::snprintf(local, sizeof local, "0100007F:%04X", static_cast<unsigned>(port));
  std::ifstream table("/proc/net/tcp");
  std::string line;
  std::getline(table, line);  // the heading
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, address, remote, state;
    fields >> slot >> address >> remote >> state;
    if (address == local && state == "0A") return true;
  }
  return false;
}

void WriteFile(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// The character set module under `root`. The engine finds it through the
// root folder and accepts only a module whose path is its real path, so it
// is copied rather than linked.
void CopyCharacterSets(const fs::path& installed, const fs::path& root) {
  fs::create_directories(root / "intl");
  for (const fs::directory_entry& entry : fs::directory_iterator(installed / "intl")) {
    if (entry.path().extension() == ".so")
      fs::copy_file(entry.path(), root / "intl" / entry.path().filename());
    else fs::create_symlink(fs::canonical(entry.path()), root / "intl" / entry.path().filename());
  }
}

// This process's environment without any Firebird setting of its own, plus
// `extra`.
std::vector<std::string> Environment(const std::vector<std::string>& extra) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    if (name.rfind("FIREBIRD", 0) == 0 || name == "ISC_USER" || name == "ISC_PASSWORD") continue;
    env.push_back(entry);
  }
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

// Starts `argv` with its output (both streams) appended to `log` and no
// input; -1 when it cannot be started.
pid_t Spawn(std::vector<std::string> argv, std::vector<std::string> env, const fs::path& log) {
  std::vector<char*> args, envp;
  for (std::string& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  // The child starts with every signal at its default and none blocked,
  // whatever this process has set up.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), envp.data()) != 0) pid = -1;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

}  // namespace

std::unique_ptr<FirebirdServer> FirebirdServer::Start(std::string& why) {
  std::unique_ptr<FirebirdServer> server(new FirebirdServer());
  // A port taken between the choice and the server's start makes it end at
  // once; another one is tried then.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (server->Launch(why)) return server;
  }
  return nullptr;
}

bool FirebirdServer::Launch(std::string& why) {
  const fs::path program = InstalledDirectory(Firebird::IConfigManager::DIR_SBIN) / "firebird";
  if (access(program.c_str(), X_OK) != 0) {
    why = "no Firebird server program " + program.string() + " (package firebird3.0-server)";
    return false;
  }
  port_ = FreeLoopbackPort();
  if (!port_) {
    why = "no free port on the loopback interface";
    return false;
  }
  root_ = folder_.Path() / ("server-" + std::to_string(port_));
  for (const char* sub : {"lock", "tmp", "data", "client"}) fs::create_directories(root_ / sub);

  // The server's configuration is its own; the message texts and the
  // character sets come from the installation.
  const fs::path installed =
      Firebird::fb_get_master_interface()->getConfigManager()->getRootDirectory();
  const fs::path security = root_ / "data" / "security3.fdb";
  WriteFile(root_ / "firebird.conf", "RemoteServicePort = " + std::to_string(port_) +
                                         "\nRemoteBindAddress = 127.0.0.1\n"
                                         "SecurityDatabase = " +
                                         security.string() + "\nServerMode = Super\n");
  fs::create_symlink(installed / "firebird.msg", root_ / "firebird.msg");
  CopyCharacterSets(installed, root_);

  // The client's: the installation's own, with the port added.
  const fs::path client = ClientConfiguration();
  for (const fs::directory_entry& entry : fs::directory_iterator(installed)) {
    const std::string name = entry.path().filename().string();
    if (name == "firebird.conf")
      WriteFile(client / name,
                ReadBytes(entry.path()) + "\nRemoteServicePort = " + std::to_string(port_) + "\n");
    else if (name != "intl") fs::create_symlink(entry.path(), client / name);
  }
  CopyCharacterSets(installed, client);

  const std::vector<std::string> env =
      Environment({"FIREBIRD=" + root_.string(), "FIREBIRD_LOCK=" + (root_ / "lock").string(),
                   "FIREBIRD_TMP=" + (root_ / "tmp").string()});
  const fs::path log = root_ / "server.log";

  // The security database, made by the engine in-process, with the one user.
  const fs::path script = root_ / "security.sql";
  WriteFile(script, "CREATE DATABASE '" + security.string() +
                        "' USER 'SYSDBA';\n"
                        "CREATE USER SYSDBA PASSWORD '" +
                        Sysdba().password + "';\nCOMMIT;\n");
  const pid_t isql = Spawn({"isql-fb", "-q", "-i", script.string()}, env, log);
  int status = 0;
  if (isql < 0 || waitpid(isql, &status, 0) != isql || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0 || !fs::exists(security)) {
    why = "cannot make the server's security database with isql-fb:\n" + Log();
    return false;
  }

  pid_ = Spawn({program.string()}, env, log);
  if (pid_ < 0) {
    why = "cannot start " + program.string() + ": " + std::strerror(errno);
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      why = "the server ended at its start:\n" + Log();
      return false;
    }
    if (Listening(port_)) return true;
    std::this_thread::sleep_for(50ms);
  }
  why = "the server does not take connections on port " + std::to_string(port_) + ":\n" + Log();
  Stop();
  return false;
}

void FirebirdServer::Stop() {
  if (pid_ < 0) return;
  // Firebird 3's server does not always end on SIGTERM: now and then the
  // thread that carries the shutdown out is gone, and the signal changes
  // nothing. Whatever a test did through the server has been committed and
  // detached by now, so after a moment the server is killed.
  StopChild(pid_, 2s);
  pid_ = -1;
}

FirebirdServer::~FirebirdServer() { Stop(); }

std::string FirebirdServer::Connection(const fs::path& file) const {
  return "127.0.0.1/" + std::to_string(port_) + ":" + file.string();
}

double FirebirdServer::CpuSeconds() const { return ChildCpuSeconds(pid_); }

std::string FirebirdServer::Log() const { return ReadBytes(root_ / "server.log"); }

}  // namespace tolvo::testdb
