// What every program of the project does first, before any file is opened:
// - standard input, output and error are open descriptors (on /dev/null when
//   the program was started with them closed, as cron and some launchers
//   do), so that no file the program or the database engine opens later
//   becomes descriptor 1 or 2 and receives its messages;
// - a write to a pipe whose reader has gone fails with EPIPE instead of
//   killing the program, so that an import piped into `head` still runs to
//   its end and commits;
// - the character type of the locale is UTF-8 (the user's own when it is,
//   C.UTF-8 otherwise, as Qt chooses it for a window), because the database
//   client converts a file name between UTF-8 and the locale's character
//   set: under LANG=C a folder named with Polish letters could not be named
//   to it at all.
#pragma once

namespace tolvo {

void PrepareProcess();

}  // namespace tolvo
