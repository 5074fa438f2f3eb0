// Child processes of the tests and the benchmark: reading what one writes
// back within a time limit, ending one, and the CPU time it has used.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace tolvo {

// Appends to `text` what child `pid` writes to `fd` until it closes its end,
// for at most `seconds`. A child that has not closed it by then is killed
// (SIGKILL) and false is returned. Neither closes `fd` nor reaps the child.
bool ReadChildOutput(int fd, pid_t pid, double seconds, std::string& text);

// Ends child `pid` (nothing for a pid <= 0): SIGTERM, then SIGKILL when it
// has not ended within `grace`; reaps it either way.
void StopChild(pid_t pid, std::chrono::milliseconds grace);

// The CPU time (user and system) that child `pid` has used so far; 0 when
// it cannot be read.
double ChildCpuSeconds(pid_t pid);

}  // namespace tolvo
