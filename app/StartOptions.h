// The program's command line: tolvoimp [--menu] [--database CONNECTION] [FOLDER].
#pragma once

#include <QStringList>

#include <filesystem>
#include <optional>
#include <string>

namespace tolvo {

struct StartOptions {
  // The database the imports write to instead of the working folder's
  // LOG.DAT, as Callbook::OpenConnection takes it.
  std::optional<std::string> connection;
  // The folder to work in instead of the one the program was started from.
  std::optional<std::filesystem::path> folder;
  // Started from the desktop menu, which starts programs in the home folder:
  // where there is no LOG.DAT, the Tolvo folder is looked for (StartFolder.h).
  bool fromMenu = false;
};

// Reads the arguments after the program's name. Nothing when the program is
// to end at once: its usage was asked for (printed to standard output, exit
// status 0 in `exitStatus`) or the call is wrong (a message and the usage on
// standard error, status 2).
std::optional<StartOptions> ParseStartOptions(const QStringList& arguments, int& exitStatus);

}  // namespace tolvo
