#pragma once
// pavonia-cli export PROJECT.pvp --type web|cd|exe OUTPUT [--sound 1-3]
//     [--image 0-100] [--no-autorun]
// pavonia-cli export PROJECT.pvp --type video OUT.mp4 [--size WxH] [--fps N]
//     [--crf N] [--sample]
// exports as the program's export command does once the dialog and the file
// dialog are answered: a page and its folder (web), the same with the
// installation's AutoRun files (cd), or one self-running executable (exe);
// or the presentation as an MP4 video, with a progress line on stderr
// (--sample: its first 30 seconds; Ctrl+C cancels and leaves no file).
// The size message goes to stdout, every other message to stderr. Exits 0
// on success, 1 when the project cannot be loaded or the export fails, 2 for
// arguments it does not understand.
#include "cli/CliSession.h"

#include <string>
#include <vector>

namespace pavonia::cli {

// `args` are the words after "export".
int exportCommand(const Workplace& place, const std::vector<std::string>& args);

} // namespace pavonia::cli
