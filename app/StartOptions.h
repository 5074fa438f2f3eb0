// The program's command line: tolvoimp [--database CONNECTION].
#pragma once

#include <QStringList>

#include <optional>
#include <string>

namespace tolvo {

struct StartOptions {
  // The database the imports write to instead of the working folder's
  // LOG.DAT, as Callbook::OpenConnection takes it.
  std::optional<std::string> connection;
};

// Reads the arguments after the program's name. Nothing when the program is
// to end at once: its usage was asked for (printed to standard output, exit
// status 0 in `exitStatus`) or the call is wrong (a message and the usage on
// standard error, status 2).
std::optional<StartOptions> ParseStartOptions(const QStringList& arguments, int& exitStatus);

}  // namespace tolvo
