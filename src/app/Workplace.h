#pragma once
// Where one process works: the installation, its working area (the
// installation folder, or the user's own folders when it is read-only) and a folder of the process's own in the area's
// "Temp", which holds its working copies and its private temporary files
// (the pack store, publishing in progress). The program and any number of
// command-line runs on one installation never share a file; the process's
// folder goes when it ends, or at the next start when it was killed.
#include "app/WritablePlaces.h"
#include "platform/Registry.h"
#include "platform/RunFolder.h"

#include <memory>
#include <string>

namespace pavonia {

// The folder of the running program, with a trailing separator.
std::string programFolder();

class Workplace {
public:
    // Checks that `home` is an installation and claims the process's
    // folder, in the installation or in the user's own folders. Empty on success, else the message that
    // says why not.
    std::string open(const std::string& home);

    const std::string& home() const { return home_; }
    // Holds "User": the installation folder, or the user's data folder when
    // the installation cannot be written (WritablePlaces).
    const std::string& area() const { return places_.userParent; }
    // Holds the preference file and the user's own registry values.
    const std::string& settingsFolder() const { return places_.settings; }
    // The process's own folder and its private temporary folder.
    std::string ownFolder() const { return run_->path(); }
    std::string scratchFolder() const { return run_->path() + "Scratch/"; }
    // The registry values: the user's own "Registry.ini" first, then the
    // installation's.
    IniRegistry registry() const;

private:
    std::string home_;
    WritablePlaces places_;
    std::unique_ptr<RunFolder> run_;
};

} // namespace pavonia
