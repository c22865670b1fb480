#pragma once
// pavonia-cli's voice subcommands:
//   voice import PROJECT.pvp SESSION AUDIO-FILE [--out OUT.pvp]
//     makes a wave or MP3 file the talking message of session SESSION
//     (counted from 1 in tree order), lip-sync analysed, and saves the project
//     to OUT.pvp or over PROJECT.pvp;
//   tps-info FILE.tps
//     prints what a talking message holds as JSON.
// Both return 0 on success, 1 on failure (the reason on stderr) and 2 for
// arguments that do not fit.
#include "cli/CliSession.h"

#include <string>
#include <vector>

namespace pavonia::cli {

int voiceCommand(const Workplace& place, const std::vector<std::string>& args);
int tpsInfoCommand(const std::vector<std::string>& args);

} // namespace pavonia::cli
