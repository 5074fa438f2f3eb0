#include "bench/BenchReport.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "bench/BenchSources.h"
#include "bench/BenchWake.h"

namespace tolvo::bench {
namespace {

constexpr double kStoreGoal = 0.90;
constexpr double kHeadlessGoal = 0.85;
constexpr double kDialogGoal = 0.75;
// What reporting the stations that differ may add to a pass over stations
// already there.
constexpr double kChangesTime = 1.1;
constexpr long kMemoryGoalKiB = 10 * 1024;
// Time a record of an import over the floor's, by the wall clock, where
// the lookups are answered from the store's index: embedded and through a
// server, on new stations and on stations already there.
constexpr double kHeadlessNewTime = 0.9;
constexpr double kHeadlessFindTime = 0.3;
constexpr double kServerNewTime = 0.6;
constexpr double kServerFindTime = 0.1;
// What the index of the stations may add to the peak memory, a station.
constexpr double kIndexBytesPerStation = 64;
// The window's own cost a record, by the wall clock: showing the progress
// alone, and the offscreen dialog over the headless import.
constexpr double kDisplayUs = 3;
constexpr double kDialogExtraUs = 5;
// What a dialog on a display server may cost more than the offscreen one: on
// X11 what waking the server costs any client here (wake woken - wake quiet)
// and this much on top; on Wayland this much.
constexpr double kX11OwnExtraUs = 5;
constexpr double kWaylandExtraUs = 35;

// The dialog measurements on a display server, with the cost allowed on top
// of the offscreen dialog's (for X11, on top of the wake-up as well).
struct DisplayKind {
  const char* prefix;
  double extraUs;
  bool plusWake;
};
constexpr DisplayKind kDisplays[] = {{"dialog-x11:", kX11OwnExtraUs, true},
                                     {"dialog-wayland:", kWaylandExtraUs, false}};

std::string Fixed(double value, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  return buf;
}

std::string Thousands(std::int64_t value) {
  std::string digits = std::to_string(value);
  std::string out;
  const int first = static_cast<int>(digits.size()) % 3;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (static_cast<int>(i) - first) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string Ratio(const std::optional<double>& r) { return r ? Fixed(*r, 2) : "-"; }

std::string Mib(long kib) { return Fixed(kib / 1024.0, 1); }

// Subjects in the order of the table: floor, store, then every source
// headless and through its dialog.
std::vector<std::string> Subjects() {
  std::vector<std::string> s = {"floor", "floor-server", "store"};
  for (const SourceInfo& info : kSources) s.push_back("headless:" + std::string(info.name));
  for (const SourceInfo& info : kSources) s.push_back("changes:" + std::string(info.name));
  for (const SourceInfo& info : kSources) s.push_back("server:" + std::string(info.name));
  for (const char* kind : {"dialog:", "dialog-x11:", "dialog-wayland:"})
    for (const SourceInfo& info : kSources) s.push_back(kind + std::string(info.name));
  for (const SourceInfo& info : kSources) s.push_back("display:" + std::string(info.name));
  s.push_back("wake");
  return s;
}

std::string Growth(long fromKiB, long toKiB) {
  return (toKiB < fromKiB ? "-" : "+") + Mib(toKiB < fromKiB ? fromKiB - toKiB : toKiB - fromKiB) +
         " MiB";
}

std::string Verdict(bool met) { return met ? "met" : "NOT met"; }

// The rate of `reference` by the clock that `f` is timed by.
double RateByClockOf(const Figure& reference, const Figure& f) {
  return f.wall ? WallRate(reference) : Rate(reference);
}

// A difference with its sign, to a tenth.
std::string Signed(double value) { return (value >= 0 ? "+" : "") + Fixed(value, 1); }

// The microseconds a record of `b` takes more than one of `a`, by the wall
// clock; nothing when either was not measured.
std::optional<double> ExtraUsPerRecord(const Figure* a, const Figure* b) {
  if (!a || !b || WallRate(*a) <= 0 || WallRate(*b) <= 0) return std::nullopt;
  return 1e6 / WallRate(*b) - 1e6 / WallRate(*a);
}

// The source part of a dialog subject ("cb" of "dialog-x11:cb").
std::string SourceOf(const std::string& subject) { return subject.substr(subject.find(':') + 1); }

}  // namespace

double Rate(const Figure& f) {
  if (!f.error.empty() || f.seconds <= 0) return 0;
  return static_cast<double>(f.records) / f.seconds;
}

double WallRate(const Figure& f) {
  if (!f.error.empty() || f.wallSeconds <= 0) return 0;
  return static_cast<double>(f.records) / f.wallSeconds;
}

const Figure* FindFigure(const std::vector<Figure>& figures, const std::string& subject,
                         const std::string& pass, std::int64_t n) {
  for (const Figure& f : figures)
    if (f.subject == subject && f.pass == pass && f.n == n && f.error.empty()) return &f;
  return nullptr;
}

// Peak memory of `b` at most 10 MiB above that of `a`.
GoalCheck MemoryGoal(std::string goal, const Figure* a, const Figure* b) {
  GoalCheck check;
  check.goal = std::move(goal);
  if (!a || !b) {
    check.detail = "not measured";
  } else {
    check.met = b->peakKiB - a->peakKiB <= kMemoryGoalKiB;
    check.detail = Growth(a->peakKiB, b->peakKiB);
  }
  return check;
}

bool TimedByWallClock(const std::string& subject) {
  return subject.rfind("dialog", 0) == 0 || subject == "wake" || OnServer(subject);
}

bool OnServer(const std::string& subject) {
  return subject == "floor-server" || subject.rfind("server:", 0) == 0;
}

std::optional<double> FloorRatio(const std::vector<Figure>& figures, const Figure& f) {
  // Showing the progress alone does no database work to compare.
  if (f.subject.rfind("display:", 0) == 0) return std::nullopt;
  const Figure* floor =
      FindFigure(figures, OnServer(f.subject) ? "floor-server" : "floor", f.pass, f.n);
  if (!floor || RateByClockOf(*floor, f) <= 0 || !f.error.empty()) return std::nullopt;
  return Rate(f) / RateByClockOf(*floor, f);
}

std::optional<double> HeadlessRatio(const std::vector<Figure>& figures, const Figure& f) {
  if ((f.subject.rfind("dialog", 0) != 0 && f.subject.rfind("changes:", 0) != 0) ||
      !f.error.empty())
    return std::nullopt;
  const Figure* headless = FindFigure(figures, "headless:" + SourceOf(f.subject), f.pass, f.n);
  if (!headless || RateByClockOf(*headless, f) <= 0) return std::nullopt;
  return Rate(f) / RateByClockOf(*headless, f);
}

std::string FormatTable(const std::vector<Figure>& figures, const std::vector<std::int64_t>& ns) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> head = {"measurement", "pass"};
  for (std::int64_t n : ns) {
    const std::string at = " @" + Thousands(n);
    head.insert(head.end(), {"rec/s" + at, "wall rec/s" + at, "us/rec" + at, "cpu us/rec" + at,
                             "/floor" + at, "/headless" + at, "MiB" + at});
  }
  rows.push_back(head);
  for (const std::string& subject : Subjects()) {
    std::vector<const char*> passes = {"new", "find"};
    if (subject == "wake") passes.assign(std::begin(kWakePasses), std::end(kWakePasses));
    for (const char* pass : passes) {
      std::vector<std::string> row = {subject, pass};
      bool any = false;
      for (std::int64_t n : ns) {
        const Figure* f = nullptr;
        const Figure* failed = nullptr;
        for (const Figure& g : figures)
          if (g.subject == subject && g.pass == pass && g.n == n)
            (g.error.empty() ? f : failed) = &g;
        if (f) {
          any = true;
          row.insert(row.end(), {Thousands(static_cast<std::int64_t>(Rate(*f) + 0.5)),
                                 Thousands(static_cast<std::int64_t>(WallRate(*f) + 0.5)),
                                 Rate(*f) > 0 ? Fixed(1e6 / Rate(*f), 1) : "-",
                                 f->records > 0 ? Fixed(1e6 * f->cpuSeconds / f->records, 1) : "-",
                                 Ratio(FloorRatio(figures, *f)), Ratio(HeadlessRatio(figures, *f)),
                                 Mib(f->peakKiB)});
        } else {
          any = any || failed;
          row.insert(row.end(), {failed ? "FAILED" : "-", "-", "-", "-", "-", "-", "-"});
        }
      }
      if (any) rows.push_back(row);
    }
  }

  std::vector<std::size_t> width(head.size(), 0);
  for (const auto& row : rows)
    for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
  std::string out;
  auto line = [&](const std::vector<std::string>& row) {
    out += '|';
    for (std::size_t c = 0; c < row.size(); ++c) {
      const std::size_t pad = width[c] - row[c].size();
      // Names to the left, figures to the right.
      out += ' ';
      if (c < 2) out += row[c] + std::string(pad, ' ');
      else out += std::string(pad, ' ') + row[c];
      out += " |";
    }
    out += '\n';
  };
  line(rows[0]);
  out += '|';
  for (std::size_t c = 0; c < width.size(); ++c)
    out += (c < 2 ? " :" : " ") + std::string(width[c] - 1, '-') + (c < 2 ? " |" : ": |");
  out += '\n';
  for (std::size_t r = 1; r < rows.size(); ++r) line(rows[r]);
  return out;
}

std::vector<GoalCheck> CheckGoals(const std::vector<Figure>& figures,
                                  const std::vector<std::int64_t>& ns) {
  std::vector<GoalCheck> goals;
  if (ns.empty()) return goals;
  const std::int64_t big = *std::max_element(ns.begin(), ns.end());
  const std::int64_t small = *std::min_element(ns.begin(), ns.end());

  auto ratioGoal = [&](const std::string& subject, const std::string& pass, double goal,
                       bool toHeadless) {
    GoalCheck check;
    check.goal = subject + " " + pass + " >= " + Fixed(goal, 2) +
                 (toHeadless ? " x headless" : " x floor") + " @" + Thousands(big);
    const Figure* f = FindFigure(figures, subject, pass, big);
    const std::optional<double> r =
        f ? (toHeadless ? HeadlessRatio(figures, *f) : FloorRatio(figures, *f)) : std::nullopt;
    if (!r) {
      check.detail = "not measured";
    } else {
      check.met = *r >= goal;
      check.detail = Fixed(*r, 2);
    }
    goals.push_back(check);
  };
  for (const char* pass : {"new", "find"}) ratioGoal("store", pass, kStoreGoal, false);
  for (const SourceInfo& info : kSources)
    for (const char* pass : {"new", "find"})
      ratioGoal("headless:" + std::string(info.name), pass, kHeadlessGoal, false);
  for (const SourceInfo& info : kSources)
    for (const char* pass : {"new", "find"})
      ratioGoal("dialog:" + std::string(info.name), pass, kDialogGoal, true);
  // Reporting the stations that differ, on stations already there: time a
  // record over the headless import's, by the clock both are timed by.
  for (const SourceInfo& info : kSources) {
    const std::string subject = "changes:" + std::string(info.name);
    GoalCheck check;
    check.goal =
        subject + " find <= " + Fixed(kChangesTime, 2) + " x headless find @" + Thousands(big);
    const Figure* f = FindFigure(figures, subject, "find", big);
    const std::optional<double> r = f ? HeadlessRatio(figures, *f) : std::nullopt;
    if (!r || *r <= 0) {
      check.detail = "not measured";
    } else {
      check.met = 1 / *r <= kChangesTime;
      check.detail = Fixed(1 / *r, 2);
    }
    goals.push_back(check);
  }

  // Time a record over the floor's, by the wall clock, embedded and through
  // the server.
  auto timeGoal = [&](const std::string& subject, const std::string& floor, const std::string& pass,
                      double goal) {
    GoalCheck check;
    check.goal = subject + " " + pass + " wall time <= " + Fixed(goal, 2) + " x " + floor + " @" +
                 Thousands(big);
    const Figure* f = FindFigure(figures, subject, pass, big);
    const Figure* reference = FindFigure(figures, floor, pass, big);
    if (!f || !reference || WallRate(*f) <= 0 || WallRate(*reference) <= 0) {
      check.detail = "not measured";
    } else {
      const double ratio = WallRate(*reference) / WallRate(*f);
      check.met = ratio <= goal;
      check.detail = Fixed(ratio, 2) + " (" + Fixed(1e6 / WallRate(*f), 1) + " vs " +
                     Fixed(1e6 / WallRate(*reference), 1) + " us/rec)";
    }
    goals.push_back(check);
  };
  for (const SourceInfo& info : kSources) {
    const std::string name(info.name);
    timeGoal("headless:" + name, "floor", "new", kHeadlessNewTime);
    timeGoal("headless:" + name, "floor", "find", kHeadlessFindTime);
    timeGoal("server:" + name, "floor-server", "new", kServerNewTime);
    timeGoal("server:" + name, "floor-server", "find", kServerFindTime);
  }
  // The index of the stations: the headless import on stations already
  // there, against the floor, which holds none.
  for (const SourceInfo& info : kSources) {
    const std::string subject = "headless:" + std::string(info.name);
    GoalCheck check;
    check.goal = subject + " find peak memory <= floor + " + Fixed(kIndexBytesPerStation, 0) +
                 " B/station @" + Thousands(big);
    const Figure* f = FindFigure(figures, subject, "find", big);
    const Figure* floor = FindFigure(figures, "floor", "find", big);
    if (!f || !floor) {
      check.detail = "not measured";
    } else {
      const double perStation =
          1024.0 * static_cast<double>(f->peakKiB - floor->peakKiB) / static_cast<double>(big);
      check.met = perStation <= kIndexBytesPerStation;
      check.detail = Signed(perStation) + " B/station (" + Growth(floor->peakKiB, f->peakKiB) + ")";
    }
    goals.push_back(check);
  }

  // The window's own cost: showing the progress alone, and the offscreen
  // dialog over the headless import of the same run.
  for (const SourceInfo& info : kSources) {
    const std::string subject = "display:" + std::string(info.name);
    GoalCheck check;
    check.goal = subject + " new <= " + Fixed(kDisplayUs, 0) + " us/rec @" + Thousands(big);
    const Figure* f = FindFigure(figures, subject, "new", big);
    if (!f || WallRate(*f) <= 0) {
      check.detail = "not measured";
    } else {
      check.met = 1e6 / WallRate(*f) <= kDisplayUs;
      check.detail = Fixed(1e6 / WallRate(*f), 1) + " us/rec";
    }
    goals.push_back(check);
  }
  // `subject` a record at most `bound` µs over `base` (nothing: not
  // measured), by the wall clock; `more` adds to the detail's parentheses.
  auto extraGoal = [&](const std::string& goal, const Figure* base, const Figure* subject,
                       std::optional<double> bound, const std::string& more) {
    GoalCheck check;
    check.goal = goal;
    const std::optional<double> extra = ExtraUsPerRecord(base, subject);
    if (!extra || !bound) {
      check.detail = "not measured";
    } else {
      check.met = *extra <= *bound;
      check.detail = Signed(*extra) + " us/rec (" + Fixed(1e6 / WallRate(*subject), 1) + " vs " +
                     Fixed(1e6 / WallRate(*base), 1) + more + ")";
    }
    goals.push_back(check);
  };
  for (const SourceInfo& info : kSources) {
    for (const char* pass : {"new", "find"}) {
      const std::string subject = "dialog:" + std::string(info.name);
      const std::string headless = "headless:" + std::string(info.name);
      extraGoal(subject + " " + pass + " <= " + headless + " + " + Fixed(kDialogExtraUs, 0) +
                    " us/rec @" + Thousands(big),
                FindFigure(figures, headless, pass, big), FindFigure(figures, subject, pass, big),
                kDialogExtraUs, "");
    }
  }

  // The dialogs on a display server against the offscreen dialog of the
  // same run, per record, by the wall clock; on X11 beside what waking the
  // server costs any client in the same run.
  const Figure* quiet = FindFigure(figures, "wake", "quiet", big);
  const std::optional<double> wake =
      ExtraUsPerRecord(quiet, FindFigure(figures, "wake", "woken", big));
  for (const DisplayKind& display : kDisplays) {
    for (const SourceInfo& info : kSources) {
      for (const char* pass : {"new", "find"}) {
        const std::string subject = display.prefix + std::string(info.name);
        const std::string offscreen = "dialog:" + std::string(info.name);
        const Figure* a = FindFigure(figures, offscreen, pass, big);
        const Figure* b = FindFigure(figures, subject, pass, big);
        std::optional<double> bound = display.extraUs;
        std::string more;
        if (display.plusWake) {
          bound = wake ? std::optional<double>(*wake + display.extraUs) : std::nullopt;
          if (wake) more = "; wake " + Signed(*wake);
        }
        if (a && b)
          more += "; CPU with the server " +
                  Signed(1e6 * (b->cpuSeconds - a->cpuSeconds) / static_cast<double>(big));
        extraGoal(subject + " " + pass + " <= " + offscreen + " + " +
                      (display.plusWake ? "wake + " : "") + Fixed(display.extraUs, 0) +
                      " us/rec @" + Thousands(big),
                  a, b, bound, more);
      }
    }
  }
  // What a bare client that sends a sleeping server one message a record
  // pays here, against the Wayland bound: whether any client can keep
  // within it.
  for (const DisplayKind& display : kDisplays) {
    if (display.plusWake) continue;
    // An X server is sent a request a record; a Wayland compositor is sent
    // a commit and answers it.
    const std::string kind = display.prefix == std::string("dialog-x11:") ? "woken" : "answered";
    const Figure* woken = FindFigure(figures, "wake", kind, big);
    GoalCheck check;
    check.goal = "wake " + kind + " <= wake quiet + " + Fixed(display.extraUs, 0) + " us/rec @" +
                 Thousands(big) + " (the " + display.prefix + " bound, any client)";
    if (const std::optional<double> extra = ExtraUsPerRecord(quiet, woken); !extra) {
      check.detail = "not measured";
    } else {
      check.met = *extra <= display.extraUs;
      check.detail = Signed(*extra) + " us/rec";
    }
    goals.push_back(check);
  }
  for (const SourceInfo& info : kSources) {
    for (const char* pass : {"new", "find"}) {
      const std::string subject = "dialog-wayland:" + std::string(info.name);
      const std::string offscreen = "dialog:" + std::string(info.name);
      goals.push_back(MemoryGoal(
          subject + " " + pass + " peak memory <= " + offscreen + " + 10 MiB @" + Thousands(big),
          FindFigure(figures, offscreen, pass, big), FindFigure(figures, subject, pass, big)));
    }
  }

  if (big != small) {
    for (const char* kind : {"headless:", "dialog:"}) {
      for (const SourceInfo& info : kSources) {
        for (const char* pass : {"new", "find"}) {
          const std::string subject = kind + std::string(info.name);
          const Figure* a = FindFigure(figures, subject, pass, small);
          const Figure* b = FindFigure(figures, subject, pass, big);
          GoalCheck check = MemoryGoal(subject + " " + pass + " peak memory @" + Thousands(big) +
                                           " <= @" + Thousands(small) + " + 10 MiB",
                                       a, b);
          // The engine's own share: what the floor grows by between the same N.
          const Figure* fa = FindFigure(figures, "floor", pass, small);
          const Figure* fb = FindFigure(figures, "floor", pass, big);
          if (a && b && fa && fb)
            check.detail += " (floor " + Growth(fa->peakKiB, fb->peakKiB) + ")";
          goals.push_back(check);
        }
      }
    }
  }
  return goals;
}

std::string FormatGoals(const std::vector<GoalCheck>& goals) {
  std::size_t width = 0;
  for (const GoalCheck& g : goals) width = std::max(width, g.goal.size());
  std::string out;
  for (const GoalCheck& g : goals)
    out += g.goal + std::string(width - g.goal.size(), ' ') + "  " + g.detail + "  " +
           (g.detail == "not measured" ? "-" : Verdict(g.met)) + "\n";
  return out;
}

}  // namespace tolvo::bench
