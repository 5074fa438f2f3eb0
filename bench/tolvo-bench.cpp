// tolvo-bench: import throughput against the database's own limit.
//
//   tolvo-bench [--records N[,N...]] [--repeat R] [--only TEXT] [--clock cpu|wall]
//               [--seed S] [--work DIR] [--keep]
//
// For every N (default 10000,100000) it writes the five station lists with N
// new stations each, then runs every measurement (see bench/BenchRuns.h) in
// a child process of its own, on a fresh database in a folder of its own, and
// prints records per second, the ratios to the floor and to headless, and the
// peak resident memory of each child, side by side for every N, followed by
// the goals. Every measurement runs R times (default 3), spread over the
// run; the fastest repetition counts. Rates and ratios come from the CPU time of the measuring
// process (--clock cpu, the default: steady on a machine shared with other
// work) or from the wall clock (--clock wall); the other rate is shown
// beside them. The dialogs are always timed by the wall clock: on a display
// server part of their work is the server's, and the offscreen dialog is
// timed alike so that the two compare. For the dialog-x11 and dialog-wayland
// measurements the benchmark starts a virtual X server (Xvfb) and a headless
// Wayland compositor (weston) of its own and stops them at the end; when one
// cannot be started its measurements are left out. Beside the dialogs on a
// display server it measures what waking such a server costs any client
// here (the wake rows, bench/BenchWake.h). For the floor-server and server:
// measurements it starts a Firebird server of its own on the loopback
// interface (tests/support/FirebirdServer.h) and stops it at the end; they
// are timed by the wall clock, the server's CPU time added to cpu us/rec.
// --only runs the measurements whose name contains TEXT (the floor is always
// run, as the ratios need it, and floor-server with any server: one).
// Exit status 1 when any measurement failed.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "bench/BenchReport.h"
#include "bench/BenchRuns.h"
#include "bench/BenchSources.h"
#include "bench/BenchWake.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/DisplayServer.h"
#include "tests/support/FirebirdServer.h"

namespace fs = std::filesystem;
using namespace tolvo::bench;
using tolvo::DisplayServer;
using tolvo::testdb::FirebirdServer;

namespace {

struct Options {
  std::vector<std::int64_t> ns = {10000, 100000};
  std::string only;
  std::uint64_t seed = kDefaultSeed;
  fs::path work;
  bool keep = false;
  bool wallClock = false;  // rates by the wall clock instead of CPU time
  int repeat = 3;          // repetitions of every measurement; the fastest counts
};

[[noreturn]] void Usage(const std::string& problem) {
  std::cerr
      << "tolvo-bench: " << problem << "\n"
      << "usage: tolvo-bench [--records N[,N...]] [--repeat R] [--only TEXT] [--clock cpu|wall]\n"
         "                   [--seed S] [--work DIR] [--keep]\n";
  std::exit(2);
}

std::vector<std::int64_t> ParseCounts(const std::string& text) {
  std::vector<std::int64_t> ns;
  std::size_t from = 0;
  while (from <= text.size()) {
    const std::size_t comma = text.find(',', from);
    const std::string item = text.substr(from, comma - from);
    char* end = nullptr;
    const long long n = std::strtoll(item.c_str(), &end, 10);
    if (item.empty() || *end != '\0' || n <= 0) Usage("bad record count '" + item + "'");
    ns.push_back(n);
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return ns;
}

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Usage(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--records") o.ns = ParseCounts(value());
    else if (arg == "--only") o.only = value();
    else if (arg == "--seed") o.seed = std::strtoull(value().c_str(), nullptr, 0);
    else if (arg == "--work") o.work = value();
    else if (arg == "--keep") o.keep = true;
    else if (arg == "--repeat") {
      o.repeat = std::atoi(value().c_str());
      if (o.repeat < 1) Usage("--repeat takes a positive count");
    } else if (arg == "--clock") {
      const std::string clock = value();
      if (clock != "cpu" && clock != "wall") Usage("--clock takes cpu or wall");
      o.wallClock = clock == "wall";
    } else Usage("unknown argument '" + arg + "'");
  }
  for (std::int64_t n : o.ns)
    if (n > MaxRecords(Source::CB))
      Usage("at most " + std::to_string(MaxRecords(Source::CB)) + " records");
  return o;
}

// ---- the child side ----

int ChildMain(int argc, char** argv) {
  // --child WHAT FOLDER N SEED
  if (argc != 6) return 2;
  try {
    const RunResult r = RunMeasurement(argv[2], argv[3], std::strtoll(argv[4], nullptr, 10),
                                       std::strtoull(argv[5], nullptr, 10));
    std::printf("result %.9f %.9f %lld %lld %lld\n", r.seconds, r.cpuSeconds,
                static_cast<long long>(r.records), static_cast<long long>(r.found),
                static_cast<long long>(r.rows));
    std::fflush(stdout);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[2], e.what());
    return 1;
  }
}

// ---- the parent side ----

// The display servers of the run, started when a measurement needs one.
struct Displays {
  std::unique_ptr<DisplayServer> x11;
  std::unique_ptr<DisplayServer> wayland;

  // The server a measurement runs on; nullptr for one that needs none.
  const DisplayServer* For(const std::string& what) const {
    if (what.rfind("dialog-x11:", 0) == 0) return x11.get();
    if (what.rfind("dialog-wayland:", 0) == 0) return wayland.get();
    return nullptr;
  }
};

// Runs one measurement in a child process (this program again, so that
// nothing of the parent is inherited) and takes its result and its peak
// resident memory. The child gets `display`'s environment and the name of
// `server`; one that has not ended after `limit` seconds is killed.
Figure Measure(const std::string& what, const fs::path& folder, std::int64_t n, std::uint64_t seed,
               bool wallClock, const DisplayServer* display, const FirebirdServer* server,
               double limit) {
  Figure f;
  const std::size_t last = what.rfind(':');
  f.subject = what.substr(0, last);
  f.pass = what.substr(last + 1);
  f.n = n;
  f.wall = wallClock || TimedByWallClock(f.subject);

  int out[2];
  if (pipe(out) != 0) {
    f.error = "pipe failed";
    return f;
  }
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) {
    f.error = "fork failed";
    close(out[0]);
    close(out[1]);
    return f;
  }
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    if (display) display->Enter();
    if (server) setenv(kServerVariable, ("127.0.0.1/" + std::to_string(server->Port())).c_str(), 1);
    const std::string nText = std::to_string(n), seedText = std::to_string(seed);
    const std::string folderText = folder.string();
    execl("/proc/self/exe", "tolvo-bench", "--child", what.c_str(), folderText.c_str(),
          nText.c_str(), seedText.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  const auto serverCpuSeconds = [&] {
    return display ? display->CpuSeconds() : server ? server->CpuSeconds() : 0;
  };
  const double serverCpu = serverCpuSeconds();
  std::string text;
  const bool timedOut = !tolvo::ReadChildOutput(out[0], pid, limit, text);
  close(out[0]);
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  f.peakKiB = usage.ru_maxrss;
  if (timedOut) {
    f.error = "did not end within " + std::to_string(static_cast<long long>(limit)) + " s";
    return f;
  }

  double seconds = 0, cpuSeconds = 0;
  long long records = 0, found = 0, rows = 0;
  const std::size_t at = text.rfind("result ");
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || at == std::string::npos ||
      std::sscanf(text.c_str() + at, "result %lf %lf %lld %lld %lld", &seconds, &cpuSeconds,
                  &records, &found, &rows) != 5) {
    f.error = WIFSIGNALED(status)
                  ? "killed by signal " + std::to_string(WTERMSIG(status))
                  : "failed (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
    return f;
  }
  f.seconds = f.wall ? seconds : cpuSeconds;
  f.wallSeconds = seconds;
  f.cpuSeconds = cpuSeconds + serverCpuSeconds() - serverCpu;
  f.records = records;
  return f;
}

// Adds a repetition to the figures kept: the faster of two succeeded ones,
// a failure over any success, the larger peak memory.
void Keep(std::vector<Figure>& kept, Figure f) {
  for (Figure& k : kept) {
    if (k.subject != f.subject || k.pass != f.pass || k.n != f.n) continue;
    const long peak = std::max(k.peakKiB, f.peakKiB);
    if (!f.error.empty() || (k.error.empty() && f.seconds < k.seconds)) k = std::move(f);
    k.peakKiB = peak;
    return;
  }
  kept.push_back(std::move(f));
}

void LinkOrCopy(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::create_hard_link(from, to, ec);
  if (ec) fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

// The measurements of one N, by folder: the first pass on a fresh database,
// then the second on what it left.
std::vector<std::vector<std::string>> Plan(const std::string& only) {
  std::vector<std::string> subjects = {"floor", "floor-server", "store"};
  for (const SourceInfo& info : kSources) {
    subjects.push_back("headless:" + std::string(info.name));
    subjects.push_back("changes:" + std::string(info.name));
    subjects.push_back("server:" + std::string(info.name));
    subjects.push_back("dialog:" + std::string(info.name));
    subjects.push_back("dialog-x11:" + std::string(info.name));
    subjects.push_back("dialog-wayland:" + std::string(info.name));
    subjects.push_back("display:" + std::string(info.name));
  }
  std::vector<std::vector<std::string>> plan;
  for (const std::string& s : subjects) {
    std::vector<std::string> passes = {s + ":new"};
    if (s.rfind("display:", 0) != 0) passes.push_back(s + ":find");
    bool wanted = only.empty() || s == "floor";
    for (const std::string& p : passes) wanted = wanted || p.find(only) != std::string::npos;
    if (wanted) plan.push_back(passes);
  }
  // The imports through the server are compared with the floor through it.
  const auto named = [&plan](const char* prefix) {
    return std::any_of(plan.begin(), plan.end(), [prefix](const auto& passes) {
      return passes.front().rfind(prefix, 0) == 0;
    });
  };
  if (named("server:") && !named("floor-server:"))
    plan.insert(plan.begin() + 1, {"floor-server:new", "floor-server:find"});
  // What waking a display server costs any client here, beside the dialogs
  // on display servers.
  const bool onDisplays = std::any_of(plan.begin(), plan.end(), [](const auto& passes) {
    return passes.front().rfind("dialog-x11:", 0) == 0 ||
           passes.front().rfind("dialog-wayland:", 0) == 0;
  });
  std::vector<std::string> wake;
  for (const char* pass : kWakePasses) wake.push_back("wake:" + std::string(pass));
  bool wanted = onDisplays;
  for (const std::string& p : wake) wanted = wanted || p.find(only) != std::string::npos;
  if (wanted) plan.insert(plan.begin() + 1, wake);
  return plan;
}

std::string FolderName(const std::string& subject) {
  std::string name = subject;
  for (char& c : name)
    if (c == ':') c = '-';
  return name;
}

int ParentMain(const Options& o) {
  fs::path root = o.work;
  bool madeRoot = false;
  if (root.empty()) {
    std::string pattern = (fs::temp_directory_path() / "tolvo-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::cerr << "tolvo-bench: cannot make a work folder\n";
      return 1;
    }
    root = pattern;
    madeRoot = true;
  } else {
    fs::create_directories(root);
  }
  root = fs::absolute(root);
  // The embedded engine keeps its lock files where it is told, or in /tmp.
  if (!std::getenv("FIREBIRD_LOCK")) setenv("FIREBIRD_LOCK", (root / "fblock").c_str(), 1);
  fs::create_directories(std::getenv("FIREBIRD_LOCK"));
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (!std::getenv("XDG_RUNTIME_DIR")) {
    const fs::path runtime = root / "runtime";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }

  // The display servers the plan needs; the measurements of one that does
  // not start are left out.
  std::vector<std::vector<std::string>> plan = Plan(o.only);
  Displays displays;
  auto needs = [&plan](const char* prefix) {
    for (const auto& passes : plan)
      if (passes.front().rfind(prefix, 0) == 0) return true;
    return false;
  };
  std::string problem;
  if (needs("dialog-x11:")) {
    displays.x11 = DisplayServer::StartX(problem);
    std::cerr << (displays.x11 ? "X server (Xvfb) on " + displays.x11->Name()
                               : "no dialog-x11 measurements: " + problem)
              << "\n";
  }
  if (needs("dialog-wayland:")) {
    displays.wayland = DisplayServer::StartWayland(problem);
    std::cerr << (displays.wayland
                      ? "Wayland compositor (weston, headless) on " + displays.wayland->Name()
                      : "no dialog-wayland measurements: " + problem)
              << "\n";
  }
  std::unique_ptr<FirebirdServer> server;
  if (needs("floor-server:") || needs("server:")) {
    server = FirebirdServer::Start(problem);
    std::cerr << (server ? "Firebird server on 127.0.0.1/" + std::to_string(server->Port())
                         : "no floor-server and server: measurements: " + problem)
              << "\n";
  }
  // ("dialog-" begins the names of the dialogs on a display server alone.)
  plan.erase(std::remove_if(plan.begin(), plan.end(),
                            [&](const std::vector<std::string>& passes) {
                              const std::string& first = passes.front();
                              const std::string subject = first.substr(0, first.rfind(':'));
                              return (first.rfind("dialog-", 0) == 0 && !displays.For(first)) ||
                                     (OnServer(subject) && !server);
                            }),
             plan.end());

  std::vector<Figure> figures;
  bool failed = false;
  for (std::int64_t n : o.ns) {
    // A child that hangs (a toolkit that does not come back from the
    // display server) is given up after this long.
    const double limit = 300 + 0.005 * static_cast<double>(n);
    const fs::path sources = root / ("sources-" + std::to_string(n));
    fs::create_directories(sources);
    const auto started = std::chrono::steady_clock::now();
    for (const SourceInfo& info : kSources) WriteSource(info.source, sources, n, o.seed);
    std::cerr << "N = " << n << ": sources written in "
              << std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()
              << " s\n";

    // Every round runs the whole plan once, so that each measurement's
    // repetitions are spread over the run as the others' are; the fastest
    // repetition counts, and the largest peak memory.
    std::vector<Figure> best;
    for (int round = 0; round < o.repeat; ++round) {
      for (const std::vector<std::string>& passes : plan) {
        const std::string& first = passes.front();
        const std::string subject = first.substr(0, first.rfind(':'));
        const fs::path folder = root / (FolderName(subject) + "-" + std::to_string(n));
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::string sourceName;
        if (NeedsSource(first, &sourceName)) {
          const SourceInfo& info = InfoOf(SourceNamed(sourceName));
          LinkOrCopy(sources / info.file, folder / info.file);
          if (!info.memo.empty()) LinkOrCopy(sources / info.memo, folder / info.memo);
        }
        for (const std::string& what : passes) {
          Figure f = Measure(what, folder, n, o.seed, o.wallClock, displays.For(what),
                             OnServer(subject) ? server.get() : nullptr, limit);
          std::cerr << "  " << what << " @" << n << ": "
                    << (f.error.empty() ? std::to_string(static_cast<long long>(Rate(f))) +
                                              " rec/s, " + std::to_string(f.peakKiB / 1024) + " MiB"
                                        : f.error)
                    << "\n";
          failed = failed || !f.error.empty();
          const bool firstFailed = !f.error.empty() && what == first;
          Keep(best, std::move(f));
          if (firstFailed) break;  // the second pass needs the first one's rows
        }
        if (!o.keep) fs::remove_all(folder);
      }
    }
    figures.insert(figures.end(), best.begin(), best.end());
    if (!o.keep) fs::remove_all(sources);
  }
  if (madeRoot && !o.keep) fs::remove_all(root);

  std::cout << "Rates by "
            << (o.wallClock ? "wall-clock time" : "CPU time of the measuring process")
            << (o.wallClock ? ""
                            : " (the dialogs and the rows through the server by wall-clock time)")
            << ", best of " << o.repeat
            << "; ratios of rates at the same N and pass, by the clock of the row.\n\n"
            << FormatTable(figures, o.ns) << "\n"
            << FormatGoals(CheckGoals(figures, o.ns));
  return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--child") return ChildMain(argc, argv);
  try {
    return ParentMain(ParseOptions(argc, argv));
  } catch (const std::exception& e) {
    std::cerr << "tolvo-bench: " << e.what() << "\n";
    return 1;
  }
}
