// What the fault tests share: the driver program in a child process (its
// output followed line by line, paused, killed, its resource use read at its
// end), Firebird's own validation of a database file, direct queries, and the
// station lists the imports read.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/DbAccess.h"
#include "tests/support/ScratchFolder.h"

namespace tolvo::fault {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The import dialog's texts as the driver writes them (UTF-8).
inline constexpr std::string_view kFinished = "Zakończono przetwarzanie!";
inline constexpr std::string_view kCannotOpen = "Nie udało się otworzyć bazy Tolvo.dat";

// A message the program would have shown.
struct Shown {
  bool error = false;  // the error report rather than a plain message
  std::string text;
  bool operator==(const Shown&) const = default;
};
inline Shown Plain(std::string_view text) { return {false, std::string(text)}; }
// Whether `shown` is the plain refusal to open the database: the fixed line,
// then one line of cause holding each of `cause`.
::testing::AssertionResult IsRefusal(const Shown& shown, const std::vector<std::string>& cause);
inline Shown Error(std::string_view text) { return {true, std::string(text)}; }
void PrintTo(const Shown& shown, std::ostream* os);

// A program to run in the driver's place (a command-line tool): its path,
// and the entries ("NAME=value") that its environment has on top of this
// process's own. Its error output comes along with its output, in order.
struct Program {
  fs::path path;
  std::vector<std::string> environment;
};

// One run of tolvo_fault_driver (or of another program) in `folder`,
// started at construction.
class Driver {
 public:
  Driver(const fs::path& folder, const std::vector<std::string>& args);
  Driver(const Program& program, const fs::path& folder, const std::vector<std::string>& args);
  ~Driver();  // kills a child that is still running
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;

  // Reads output until a line that begins with `prefix`; false when the
  // output ends or the time runs out first.
  bool WaitFor(std::string_view prefix, std::chrono::milliseconds timeout = 60s);
  // Writes one line to the child's standard input.
  void Send(std::string_view line = {});
  // SIGKILL, then waits for the child.
  void Kill();
  // Sends `signalNumber` to the child, which goes on running.
  void Signal(int signalNumber);
  // Closes the child's input, reads the rest of its output and waits for
  // its end; a child still running after `timeout` is killed.
  void Finish(std::chrono::milliseconds timeout = 90s);

  bool Exited() const { return exited_; }
  // Ended by exit(0): no crash, no signal, no error of the driver itself.
  bool EndedCleanly() const;
  // The exit code, or -signal for a child ended by a signal.
  int Status() const;
  // The child's peak resident memory, in KiB (after its end).
  long MaxRssKiB() const { return maxRssKiB_; }
  const std::vector<std::string>& Lines() const { return lines_; }
  std::vector<Shown> Messages() const;
  // Record steps announced so far.
  int Steps() const;
  // The status, the output and the child's error output, for a failure.
  std::string Describe() const;

 private:
  void Start(const Program& program, const fs::path& folder, const std::vector<std::string>& args,
             bool errorsToOutput);
  bool ReadSome(std::chrono::milliseconds timeout);
  void Reap(bool block);

  pid_t pid_ = -1;
  int out_ = -1;
  int in_ = -1;
  fs::path errFile_;
  std::string pending_;
  std::vector<std::string> lines_;
  std::size_t scanned_ = 0;
  bool exited_ = false;
  int waitStatus_ = 0;
  long maxRssKiB_ = 0;
};

// Runs the driver to its end, expecting a clean one; what it showed.
std::vector<Shown> RunDriver(const fs::path& folder, const std::vector<std::string>& args);

// The driver options that run it as the user nobody, when this process runs
// as root (which reads and writes files whatever their mode says). Opens
// `folder` to that user and gives it a lock folder of its own. Nothing when
// there is no switching to that user.
std::optional<std::vector<std::string>> UnprivilegedUser(const fs::path& folder);

// ---- database files ----

// A Tolvo 1.0 database like the logging program's own: synchronous writes on.
void CreateDurableDatabase(const fs::path& file);
// Firebird's full validation of the file (gfix -v -full, changing nothing):
// the errors it reports, empty when there are none. Warnings do not count.
std::string ValidationErrors(const fs::path& file);
// The call signs in STACJE, empty when there is no such table.
std::set<std::string> CallSigns(const fs::path& file);
using testdb::Execute;
using testdb::Query;
using testdb::ReadBytes;
using testdb::Row;
using testdb::WriteBytes;

// ---- station lists ----

// `count` okcall.dbf records with call signs prefix + number.
std::vector<std::vector<std::string>> OkCallRows(std::string_view prefix, int count);
// `deleted` (when not empty) marks records as deleted.
void WriteOkCall(const fs::path& file, const std::vector<std::vector<std::string>>& rows,
                 const std::vector<bool>& deleted = {});
// `count` AMATEUR.RPT station lines with call signs prefix + number.
std::vector<std::string> AmateurLines(std::string_view prefix, int count);
std::set<std::string> CallsOf(const std::vector<std::vector<std::string>>& rows);
std::set<std::string> CallsOf(std::string_view prefix, int count);

// A scratch folder for one test with LOG.DAT's path in it; the test process
// never enters it (the driver runs there).
class FaultTest : public ::testing::Test {
 protected:
  FaultTest();
  ScratchFolder dir;
  fs::path db;
};

}  // namespace tolvo::fault
