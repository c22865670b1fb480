#pragma once
// Where one process works: the installation, its working area (the
// installation folder) and a folder of the process's own in the area's
// "Temp", which holds its working copies and its private temporary files
// (the pack store, publishing in progress). The program and any number of
// command-line runs on one installation never share a file; the process's
// folder goes when it ends, or at the next start when it was killed.
#include "platform/RunFolder.h"

#include <memory>
#include <string>

namespace pavonia {

// The folder of the running program, with a trailing separator.
std::string programFolder();

class Workplace {
public:
    // Checks that `home` is an installation the process may write in and
    // claims the process's folder. Empty on success, else the message that
    // says why not.
    std::string open(const std::string& home);

    const std::string& home() const { return home_; }
    const std::string& area() const { return home_; }
    // The process's own folder and its private temporary folder.
    std::string ownFolder() const { return run_->path(); }
    std::string scratchFolder() const { return run_->path() + "Scratch/"; }

private:
    std::string home_;
    std::unique_ptr<RunFolder> run_;
};

} // namespace pavonia
