// Reading what a child process writes back, with a limit on how long it may
// take: for the tests and the benchmark that run their work in children.
#pragma once

#include <sys/types.h>

#include <string>

namespace tolvo {

// Appends to `text` what child `pid` writes to `fd` until it closes its end,
// for at most `seconds`. A child that has not closed it by then is killed
// (SIGKILL) and false is returned. Neither closes `fd` nor reaps the child.
bool ReadChildOutput(int fd, pid_t pid, double seconds, std::string& text);

}  // namespace tolvo
