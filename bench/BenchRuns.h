// One measurement of the import benchmark, run in a process of its own (so
// that its peak resident memory is its own) in a folder that holds LOG.DAT
// and the generated source files.
//
// Measurements, by name:
//   floor:new | floor:find        bare Firebird interface: one prepared lookup
//                                 and one prepared INSERT of every column per
//                                 row (find: lookups only)
//   store:new | store:find        the same rows through Callbook
//   headless:<source>:new|find    the source's per-record step over its file,
//                                 read as the dialog reads it
//   changes:<source>:new|find     the same, reporting the stations found that
//                                 differ from the callbook into a CSV file, as
//                                 tolvo-import --changes does
//   floor-server:new|find         the floor through a Firebird server on the
//                                 loopback interface
//   server:<source>:new|find      the headless import through that server
//   dialog:<source>:new|find      the whole import through the dialog's start
//                                 button, display and message pump included,
//                                 on the platform QT_QPA_PLATFORM names
//                                 (offscreen by default)
//   dialog-x11:<source>:new|find  the same on an X server (the xcb platform;
//                                 DISPLAY names the server)
//   dialog-wayland:<source>:new|find
//                                 the same on a Wayland compositor (the wayland
//                                 platform; WAYLAND_DISPLAY and XDG_RUNTIME_DIR
//                                 name it)
//   display:<source>:new          the dialog's walk over the source with its
//                                 display and message pump, but no per-record
//                                 step: what showing the progress costs
//   wake:quiet | wake:woken | wake:answered
//                                 a fixed amount of work a record, with no
//                                 message to a sleeping server process
//                                 (quiet), one a record (woken), or one a
//                                 record answered to a thread of the
//                                 client's (answered): what any display
//                                 client pays here to talk to its server
//                                 once a record (bench/BenchWake.h)
// A ":new" measurement makes a fresh Tolvo 1.0 LOG.DAT and its STACJE first
// (not timed); ":find" runs on the database the ":new" one left behind, where
// every station is present. The timed part runs from opening the database to
// the last record; the commit afterwards is not timed. It is taken by the wall
// clock and by the CPU time of the whole process (the embedded engine works
// in it, in threads of its own), which other work on a shared machine
// disturbs far less.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "bench/BenchTiming.h"

namespace tolvo::bench {

// The environment variable that names the Firebird server of the
// floor-server and server: measurements to the child that runs them, as
// "host/port".
inline constexpr const char* kServerVariable = "TOLVO_BENCH_SERVER";

// Runs measurement `what` with `n` records in `folder` (which it makes the
// working folder). Checks what it can (the rows written, the stations found,
// the dialog's closing message) and throws std::runtime_error when something
// is not as the measurement expects.
RunResult RunMeasurement(const std::string& what, const std::filesystem::path& folder,
                         std::int64_t n, std::uint64_t seed);

// The source files a measurement needs in its folder (empty for floor and
// store).
bool NeedsSource(const std::string& what, std::string* sourceName);

}  // namespace tolvo::bench
