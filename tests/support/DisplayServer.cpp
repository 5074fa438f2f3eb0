#include "tests/support/DisplayServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <thread>

#include "tests/support/ChildProcess.h"

namespace tolvo {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Starts `argv` in a child process with `environment` added, its output
// thrown away, `keepFd` (if not -1) left open for it; the child gets SIGTERM
// when this process ends. Returns the child's pid, or -1.
pid_t Spawn(const std::vector<std::string>& argv, const DisplayServer::Environment& environment,
            int keepFd) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid != 0) return pid;
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != parent) _exit(127);
  const int null = open("/dev/null", O_RDWR);
  if (null >= 0) {
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    if (null > STDERR_FILENO && null != keepFd) close(null);
  }
  if (keepFd >= 0) fcntl(keepFd, F_SETFD, 0);
  for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
  execvp(args[0], args.data());
  _exit(127);
}

bool Alive(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, WNOHANG) == 0;
}

void Stop(pid_t pid) { StopChild(pid, std::chrono::seconds(5)); }

// Waits until `ready` holds or the child ends or time runs out.
template <typename Ready>
bool WaitFor(pid_t pid, Ready ready, std::chrono::seconds limit = std::chrono::seconds(20)) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    if (ready()) return true;
    if (!Alive(pid)) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return ready();
}

// Reserves display `number` as X servers do, by its lock file, made only
// when neither it nor the display's socket exists.
bool ReserveXDisplay(int number) {
  std::error_code ec;
  const std::string n = std::to_string(number);
  if (fs::exists("/tmp/.X11-unix/X" + n, ec)) return false;
  const int lock = open(("/tmp/.X" + n + "-lock").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0444);
  if (lock < 0) return false;
  char pid[16];
  const int length = std::snprintf(pid, sizeof pid, "%10d\n", static_cast<int>(getpid()));
  if (write(lock, pid, static_cast<std::size_t>(length)) < 0) {
    // The lock holds even without its contents.
  }
  close(lock);
  return true;
}

}  // namespace

bool ProgramInstalled(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t from = 0;
  while (from <= dirs.size()) {
    const std::size_t colon = dirs.find(':', from);
    const std::string dir = dirs.substr(from, colon - from);
    if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    if (colon == std::string::npos) break;
    from = colon + 1;
  }
  return false;
}

namespace {

// Whether `program` is on the PATH; if not, `problem` says which Debian
// package brings it.
bool Installed(const std::string& program, const std::string& package, std::string& problem) {
  if (ProgramInstalled(program)) return true;
  problem = program + " is not installed (Debian package " + package + ")";
  return false;
}

}  // namespace

std::unique_ptr<DisplayServer> DisplayServer::StartX(std::string& problem) {
  if (!Installed("Xvfb", "xvfb", problem)) return nullptr;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    problem = "pipe failed";
    return nullptr;
  }
  // The server picks a free display number and writes it to the pipe once
  // it takes connections; it does not reset when its last client leaves.
  const pid_t pid = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                           "1024x768x24", "-nolisten", "tcp", "-noreset"},
                          {}, fds[1]);
  close(fds[1]);
  std::string number;
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (pid > 0 && Clock::now() < deadline && number.find('\n') == std::string::npos) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char buf[32];
    const ssize_t got = read(fds[0], buf, sizeof buf);
    if (got <= 0) break;
    number.append(buf, static_cast<std::size_t>(got));
  }
  close(fds[0]);
  if (pid <= 0 || number.find('\n') == std::string::npos) {
    Stop(pid);
    problem = "Xvfb did not start";
    return nullptr;
  }
  const std::string name = ":" + number.substr(0, number.find('\n'));
  return std::unique_ptr<DisplayServer>(
      new DisplayServer(pid, name, {{"DISPLAY", name}, {"QT_QPA_PLATFORM", "xcb"}}));
}

std::unique_ptr<DisplayServer> DisplayServer::StartWayland(std::string& problem) {
  if (!Installed("weston", "weston", problem)) return nullptr;
  std::string pattern = (fs::temp_directory_path() / "tolvo-wayland-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    problem = "no runtime folder for weston";
    return nullptr;
  }
  const fs::path runtime = pattern;
  chmod(runtime.c_str(), 0700);
  const std::string socket = "tolvo-" + std::to_string(getpid());
  const pid_t pid = Spawn({"weston", "--backend=headless-backend.so", "--socket=" + socket,
                           "--idle-time=0", "--no-config"},
                          {{"XDG_RUNTIME_DIR", runtime.string()}}, -1);
  std::error_code ec;
  if (pid <= 0 || !WaitFor(pid, [&] { return fs::exists(runtime / socket, ec); })) {
    Stop(pid);
    fs::remove_all(runtime, ec);
    problem = "weston did not start";
    return nullptr;
  }
  std::unique_ptr<DisplayServer> server(new DisplayServer(pid, socket,
                                                          {{"WAYLAND_DISPLAY", socket},
                                                           {"XDG_RUNTIME_DIR", runtime.string()},
                                                           {"QT_QPA_PLATFORM", "wayland"}}));
  server->runtime_ = runtime;
  return server;
}

std::unique_ptr<DisplayServer> DisplayServer::StartXtrace(const std::string& display,
                                                          const fs::path& log,
                                                          std::string& problem) {
  if (!Installed("xtrace", "xtrace", problem)) return nullptr;
  int number = 40;
  while (number < 200 && !ReserveXDisplay(number)) ++number;
  if (number >= 200) {
    problem = "no free display number for xtrace";
    return nullptr;
  }
  const std::string fake = ":" + std::to_string(number);
  const fs::path lock = "/tmp/.X" + std::to_string(number) + "-lock";
  const pid_t pid =
      Spawn({"xtrace", "-n", "-k", "-d", display, "-D", fake, "-o", log.string()}, {}, -1);
  std::error_code ec;
  if (pid <= 0 ||
      !WaitFor(pid, [&] { return fs::exists("/tmp/.X11-unix/X" + std::to_string(number), ec); })) {
    Stop(pid);
    fs::remove(lock, ec);
    problem = "xtrace did not start";
    return nullptr;
  }
  std::unique_ptr<DisplayServer> server(
      new DisplayServer(pid, fake, {{"DISPLAY", fake}, {"QT_QPA_PLATFORM", "xcb"}}));
  server->leftovers_ = {"/tmp/.X11-unix/X" + std::to_string(number), lock};
  return server;
}

DisplayServer::~DisplayServer() {
  Stop(pid_);
  std::error_code ec;
  if (!runtime_.empty()) fs::remove_all(runtime_, ec);
  for (const fs::path& file : leftovers_) fs::remove(file, ec);
}

double DisplayServer::CpuSeconds() const { return ChildCpuSeconds(pid_); }

void DisplayServer::Enter() const {
  for (const auto& [name, value] : environment_) setenv(name.c_str(), value.c_str(), 1);
}

bool DisplayServer::RunClient(const std::function<std::string()>& client, double seconds,
                              std::string& output) const {
  int out[2];
  if (pipe(out) != 0) return false;
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) {
    close(out[0]);
    close(out[1]);
    return false;
  }
  if (pid == 0) {
    close(out[0]);
    Enter();
    const std::string text = client();
    if (write(out[1], text.data(), text.size()) < 0) _exit(2);
    _exit(0);
  }
  close(out[1]);
  const bool ended = ReadChildOutput(out[0], pid, seconds, output);
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return ended;
}

}  // namespace tolvo
