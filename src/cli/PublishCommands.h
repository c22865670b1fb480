#pragma once
// pavonia-cli subcommands that publish a project:
//   preview PROJECT.pvp [--slide N] [--dpi D]
//     publishes as the browser preview does (into a folder of its own in the
//     installation's "User" folder, starting at slide index N) without
//     opening a browser, and prints the published page's path;
//   htmlcode PROJECT.pvp PAGE.htm [--dpi D]
//     runs the "Process" step of the HTML code copy for an existing page and
//     prints the inline-frame element.
// Both exit 1 when the project cannot be loaded or publishing fails, 2 for
// arguments they do not understand.
#include "cli/CliSession.h"

#include <string>
#include <vector>

namespace pavonia::cli {

// `args` are the words after the subcommand's name.
int previewCommand(const Workplace& place, const std::vector<std::string>& args);
int htmlCodeCommand(const Workplace& place, const std::vector<std::string>& args);

} // namespace pavonia::cli
