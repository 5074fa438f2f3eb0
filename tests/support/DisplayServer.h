// Display servers that a benchmark or a test starts for itself and stops
// again: a virtual X server (Xvfb) on a display number it picks itself, a
// headless Wayland compositor (weston) with a runtime folder and a socket of
// its own, and an X protocol tracer (xtrace) that passes a client's requests
// on to an X server and writes them down. Each runs as a child process that
// also ends when the process that started it ends.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tolvo {

class DisplayServer {
 public:
  using Environment = std::vector<std::pair<std::string, std::string>>;

  // Each returns nullptr and says why in `problem` when the program is not
  // installed or the server does not come up.
  static std::unique_ptr<DisplayServer> StartX(std::string& problem);
  static std::unique_ptr<DisplayServer> StartWayland(std::string& problem);
  // A tracer on a display of its own in front of `display` (":N"), writing
  // every request and reply to `log`.
  static std::unique_ptr<DisplayServer> StartXtrace(const std::string& display,
                                                    const std::filesystem::path& log,
                                                    std::string& problem);

  // Stops the server (SIGTERM, then SIGKILL) and removes its runtime folder.
  ~DisplayServer();
  DisplayServer(const DisplayServer&) = delete;
  DisplayServer& operator=(const DisplayServer&) = delete;

  // ":N" for an X server, the socket name for a compositor.
  const std::string& Name() const { return name_; }
  // What a client puts in its environment to reach the server, the toolkit's
  // platform included.
  const Environment& ClientEnvironment() const { return environment_; }
  // Sets that environment in this process.
  void Enter() const;
  // Runs `client` in a child process with that environment, and puts what it
  // returns in `output`. The child ends without tearing down what `client`
  // set up (a toolkit's ending is not under test). False when the child has
  // not ended within `seconds`; it is killed then.
  bool RunClient(const std::function<std::string()>& client, double seconds,
                 std::string& output) const;
  // The CPU time the server has used so far, in seconds.
  double CpuSeconds() const;

 private:
  DisplayServer(pid_t pid, std::string name, Environment environment)
      : pid_(pid), name_(std::move(name)), environment_(std::move(environment)) {}

  pid_t pid_ = -1;
  std::string name_;
  Environment environment_;
  std::filesystem::path runtime_;                 // removed with the server when not empty
  std::vector<std::filesystem::path> leftovers_;  // its socket and lock, for a tracer
};

// Whether `program` is found on the PATH.
bool ProgramInstalled(const std::string& program);

}  // namespace tolvo
