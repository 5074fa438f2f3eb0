// What waking a display server costs a client, whatever the client: an X
// server or a Wayland compositor sleeps until its socket has something to
// read, and a client that shows every record sends it something after every
// record. Here the server is a bare peer process that waits for its socket
// as those servers do (epoll) and reads whatever comes; the client does a
// fixed amount of work a record (about what the offscreen dialog spends on
// a record of the find pass) and then sends nothing ("quiet"), or writes
// 2,824 bytes ("woken": the size of one record's PutImage on X11), or writes
// them and has the server answer each with 8 bytes, which a thread of the
// client's own waits for and reads ("answered": as a Wayland compositor
// answers each commit with a buffer release, which Qt reads on a thread of
// its own). The difference to "quiet", per record, is the least that any
// client pays on this machine for talking to its display server once a
// record; no toolkit is involved.
#pragma once

#include <cstdint>

#include "bench/BenchTiming.h"

namespace tolvo::bench {

enum class WakeKind { Quiet, Woken, Answered };
// The names of the wake passes, in the order of WakeKind.
inline constexpr const char* kWakePasses[] = {"quiet", "woken", "answered"};

RunResult RunServerWake(std::int64_t n, WakeKind kind);

}  // namespace tolvo::bench
