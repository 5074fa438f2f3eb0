#include "tests/fault/FaultHarness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "store/Firebird.h"
#include "tools/writers/DbfWriter.h"
#include "tools/writers/ReportWriter.h"
#include "tools/writers/Tolvo10Database.h"

namespace tolvo::fault {
namespace {

constexpr const char* kDriverPath = TOLVO_FAULT_DRIVER;

std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

void PrintTo(const Shown& shown, std::ostream* os) {
  *os << (shown.error ? "error \"" : "plain \"") << shown.text << '"';
}

::testing::AssertionResult IsRefusal(const Shown& shown, const std::vector<std::string>& cause) {
  // The driver writes a line end inside a message as "\n".
  const std::string separator = "\\n";
  const std::size_t end = shown.text.find(separator);
  const std::string first = shown.text.substr(0, end);
  const std::string second =
      end == std::string::npos ? std::string() : shown.text.substr(end + separator.size());
  if (shown.error || first != kCannotOpen || second.empty() ||
      second.find(separator) != std::string::npos)
    return ::testing::AssertionFailure()
           << "not the refusal with one line of cause: \"" << shown.text << '"';
  for (const std::string& part : cause)
    if (second.find(part) == std::string::npos)
      return ::testing::AssertionFailure()
             << "the cause \"" << second << "\" does not say \"" << part << '"';
  return ::testing::AssertionSuccess();
}

// ---- the driver in a child process ----

Driver::Driver(const fs::path& folder, const std::vector<std::string>& args) {
  Start({kDriverPath, {}}, folder, args, false);
}

Driver::Driver(const Program& program, const fs::path& folder,
               const std::vector<std::string>& args) {
  Start(program, folder, args, true);
}

void Driver::Start(const Program& program, const fs::path& folder,
                   const std::vector<std::string>& args, bool errorsToOutput) {
  char errName[] = "/tmp/tolvo-fault-stderr-XXXXXX";
  const int err = mkstemp(errName);
  if (err < 0) throw SystemError("mkstemp");
  errFile_ = errName;

  int toChild[2], fromChild[2];
  if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) throw SystemError("pipe");

  // Everything the child needs is made before the fork: only async-signal-
  // safe calls may follow it in a process that runs threads.
  std::vector<std::string> argv{program.path.string()};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargv;
  for (std::string& a : argv) cargv.push_back(a.data());
  cargv.push_back(nullptr);
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('=') + 1);
    const bool replaced =
        std::any_of(program.environment.begin(), program.environment.end(),
                    [&](const std::string& set) { return set.starts_with(name); });
    if (!replaced) env.push_back(entry);
  }
  env.insert(env.end(), program.environment.begin(), program.environment.end());
  std::vector<char*> cenv;
  for (std::string& e : env) cenv.push_back(e.data());
  cenv.push_back(nullptr);
  const std::string where = folder.string();

  pid_ = fork();
  if (pid_ < 0) throw SystemError("fork");
  if (pid_ == 0) {
    if (chdir(where.c_str()) != 0) _exit(126);
    dup2(toChild[0], STDIN_FILENO);
    dup2(fromChild[1], STDOUT_FILENO);
    dup2(errorsToOutput ? fromChild[1] : err, STDERR_FILENO);
    execve(cargv[0], cargv.data(), cenv.data());
    _exit(127);
  }
  close(err);
  close(toChild[0]);
  close(fromChild[1]);
  in_ = toChild[1];
  out_ = fromChild[0];
}

Driver::~Driver() {
  if (!exited_ && pid_ > 0) {
    kill(pid_, SIGKILL);
    Reap(true);
  }
  if (in_ >= 0) close(in_);
  if (out_ >= 0) close(out_);
  std::error_code ec;
  fs::remove(errFile_, ec);
}

bool Driver::ReadSome(std::chrono::milliseconds timeout) {
  if (out_ < 0) return false;
  pollfd p{out_, POLLIN, 0};
  const int ready = poll(&p, 1, static_cast<int>(timeout.count()));
  if (ready <= 0) return false;
  char buffer[4096];
  const ssize_t n = read(out_, buffer, sizeof buffer);
  if (n <= 0) {
    close(out_);
    out_ = -1;
    if (!pending_.empty()) lines_.push_back(std::move(pending_));
    pending_.clear();
    return false;
  }
  pending_.append(buffer, static_cast<std::size_t>(n));
  for (std::size_t nl; (nl = pending_.find('\n')) != std::string::npos;) {
    lines_.push_back(pending_.substr(0, nl));
    pending_.erase(0, nl + 1);
  }
  return true;
}

bool Driver::WaitFor(std::string_view prefix, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    for (; scanned_ < lines_.size(); ++scanned_) {
      if (lines_[scanned_].rfind(prefix, 0) == 0) {
        ++scanned_;
        return true;
      }
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    if (!ReadSome(left) && out_ < 0) return false;
  }
}

void Driver::Send(std::string_view line) {
  std::string text(line);
  text += '\n';
  if (in_ >= 0 && write(in_, text.data(), text.size()) < 0) {
    // a child that is gone cannot be told anything
  }
}

void Driver::Reap(bool block) {
  if (exited_ || pid_ <= 0) return;
  int status = 0;
  rusage usage{};
  const pid_t r = wait4(pid_, &status, block ? 0 : WNOHANG, &usage);
  if (r == pid_) {
    exited_ = true;
    waitStatus_ = status;
    maxRssKiB_ = usage.ru_maxrss;
  }
}

void Driver::Signal(int signalNumber) {
  if (!exited_) kill(pid_, signalNumber);
}

void Driver::Kill() {
  if (exited_) return;
  kill(pid_, SIGKILL);
  Reap(true);
  while (ReadSome(100ms)) {
  }
}

void Driver::Finish(std::chrono::milliseconds timeout) {
  if (in_ >= 0) {
    close(in_);
    in_ = -1;
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (out_ >= 0 && std::chrono::steady_clock::now() < deadline) ReadSome(200ms);
  for (int i = 0; i < 100 && !exited_; ++i) {
    Reap(false);
    if (!exited_) usleep(20000);
  }
  if (!exited_) {
    ADD_FAILURE() << "the driver did not end in time; killed\n" << Describe();
    Kill();
  }
}

bool Driver::EndedCleanly() const {
  return exited_ && WIFEXITED(waitStatus_) && WEXITSTATUS(waitStatus_) == 0;
}

int Driver::Status() const {
  if (!exited_) return 0;
  if (WIFSIGNALED(waitStatus_)) return -WTERMSIG(waitStatus_);
  return WEXITSTATUS(waitStatus_);
}

std::vector<Shown> Driver::Messages() const {
  std::vector<Shown> shown;
  for (const std::string& line : lines_) {
    if (line.rfind("message error ", 0) == 0) shown.push_back(Error(line.substr(14)));
    if (line.rfind("message plain ", 0) == 0) shown.push_back(Plain(line.substr(14)));
  }
  return shown;
}

int Driver::Steps() const {
  return static_cast<int>(std::count_if(
      lines_.begin(), lines_.end(), [](const std::string& l) { return l.rfind("step ", 0) == 0; }));
}

std::string Driver::Describe() const {
  std::ostringstream s;
  s << "driver status " << Status() << (exited_ ? "" : " (running)") << "\n--- output:\n";
  // The steps are many and say little; the rest is shown whole.
  int steps = 0;
  for (const std::string& line : lines_) {
    if (line.rfind("step ", 0) == 0) {
      ++steps;
      continue;
    }
    if (steps) s << "(" << steps << " steps)\n";
    steps = 0;
    s << line << '\n';
  }
  if (steps) s << "(" << steps << " steps)\n";
  std::string err = ReadBytes(errFile_);
  if (err.size() > 4000) err = "..." + err.substr(err.size() - 4000);
  s << "--- error output:\n" << err;
  return s.str();
}

std::vector<Shown> RunDriver(const fs::path& folder, const std::vector<std::string>& args) {
  Driver driver(folder, args);
  driver.Finish();
  EXPECT_TRUE(driver.EndedCleanly()) << driver.Describe();
  return driver.Messages();
}

std::optional<std::vector<std::string>> UnprivilegedUser(const fs::path& folder) {
  using fs::perms;
  fs::permissions(folder, perms::owner_all | perms::group_read | perms::group_exec |
                              perms::others_read | perms::others_exec);
  const fs::path lock = folder / "lock";
  fs::create_directories(lock);
  fs::permissions(lock, perms::all);
  std::vector<std::string> options = {"--uid", "65534", "--lock", lock.string()};
  Driver probe(folder, options);
  probe.Finish();
  if (!probe.EndedCleanly()) return std::nullopt;
  return options;
}

// ---- database files ----

void CreateDurableDatabase(const fs::path& file) {
  CreateTolvo10Database(file);
  fb::ConnectOptions o = testdb::Sysdba();
  o.forcedWrites = true;
  fb::Attachment att = fb::Attachment::Open(file.string(), o);
  att.Detach();
}

std::string ValidationErrors(const fs::path& file) {
  if (std::system("command -v gfix >/dev/null 2>&1") != 0)
    return "gfix (firebird3.0-utils) is needed to validate " + file.string();
  // -no_update: the check leaves the file as the program left it.
  const std::string command = "gfix -v -full -no_update " + testdb::CallbookToolCredentials() +
                              " '" + file.string() + "' 2>&1";
  FILE* p = popen(command.c_str(), "r");
  if (!p) return "cannot run gfix";
  std::string report;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, p)) report += buffer;
  const int status = pclose(p);
  // Orphan pages and half-linked index pages left by a killed process are
  // warnings: space is lost, nothing is wrong. Errors are what count.
  std::string errors;
  std::istringstream lines(report);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("Summary of validation errors") != std::string::npos) continue;
    if (line.find("warnings") != std::string::npos) continue;
    errors += line + '\n';
  }
  if (status != 0 && errors.empty()) errors = "gfix ended with status " + std::to_string(status);
  return errors;
}

std::set<std::string> CallSigns(const fs::path& file) {
  std::set<std::string> calls;
  const auto table = Query(file, "SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'STACJE'");
  if (table.empty()) return calls;
  for (const Row& row : Query(file, "SELECT STACJA FROM STACJE")) calls.insert(row.at(0).value());
  return calls;
}

// ---- station lists ----

std::vector<std::vector<std::string>> OkCallRows(std::string_view prefix, int count) {
  std::vector<std::vector<std::string>> rows;
  for (int i = 1; i <= count; ++i) {
    const std::string n = std::to_string(i);
    rows.push_back({std::string(prefix) + n, "Jan", "Novak" + n, "Hlavni " + n, "Praha", "110 00"});
  }
  return rows;
}

void WriteOkCall(const fs::path& file, const std::vector<std::vector<std::string>>& rows,
                 const std::vector<bool>& deleted) {
  WriteDbf(file, DbfFieldsOf(ImportKindId::OKCall), rows, deleted);
}

std::vector<std::string> AmateurLines(std::string_view prefix, int count) {
  std::vector<std::string> lines;
  for (int i = 1; i <= count; ++i) {
    const std::string n = std::to_string(i);
    lines.push_back(AmateurLine(std::string(prefix) + n, "John", "Smith" + n, n + " Main St",
                                "Ottawa", "ON", "K1A 0B1"));
  }
  return lines;
}

std::set<std::string> CallsOf(const std::vector<std::vector<std::string>>& rows) {
  std::set<std::string> calls;
  for (const auto& row : rows) calls.insert(row.at(0));
  return calls;
}

std::set<std::string> CallsOf(std::string_view prefix, int count) {
  std::set<std::string> calls;
  for (int i = 1; i <= count; ++i) calls.insert(std::string(prefix) + std::to_string(i));
  return calls;
}

FaultTest::FaultTest() : db(dir / "LOG.DAT") {}

}  // namespace tolvo::fault
