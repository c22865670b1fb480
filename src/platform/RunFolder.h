#pragma once
// A folder of one process's own inside a working area that several processes
// share (the program and any number of command-line runs on one
// installation). The process holds a lock on its folder for as long as it
// lives and deletes the folder when it ends; a folder whose lock is free was
// left by a process that ended without cleaning up (killed, crashed) and is
// deleted by the next process that claims a folder beside it. Nothing of one
// process's folder is touched by another while the lock is held.
#include <string>

namespace pavonia {

class RunFolder {
public:
    // Claims a new folder under `parent` (ending with "/"; created when
    // missing), after deleting the folders there that were left behind.
    // valid() says whether it worked; error() then holds the errno value.
    explicit RunFolder(const std::string& parent);
    // Deletes the folder, then lets go of its lock.
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    bool valid() const { return lock_ >= 0; }
    int error() const { return error_; }
    // The folder, ending with "/"; empty when not valid.
    const std::string& path() const { return path_; }

    // Deletes the folders of `parent` claimed by processes that are gone.
    static void sweepAbandoned(const std::string& parent);

private:
    std::string path_;
    int lock_ = -1;
    int error_ = 0;
};

} // namespace pavonia
