#pragma once
// pavonia-cli's import subcommand:
//   import PROJECT.pvp FILE... [--mode same|each] [--session N] [--out OUT.pvp]
// brings pictures, clips and slide decks into the project as the program's
// "Import Media" command does: the files in plain byte order of their paths,
// the kind of the whole import taken from the first file accepted. With
// mode "same" (the default) the slides go into session N (counted from 1 in
// tree order; default the last); with "each" every file (every deck slide)
// becomes a new session after session N. The project is saved to OUT.pvp or
// over PROJECT.pvp. Messages go to stderr. Returns 0 when the import ran,
// 1 when nothing could be imported, 2 for arguments that do not fit.
#include "cli/CliSession.h"

#include <string>
#include <vector>

namespace pavonia::cli {

int importCommand(const Workplace& place, const std::vector<std::string>& args);

} // namespace pavonia::cli
