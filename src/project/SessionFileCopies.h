#pragma once
// The working copies of a session's talking image and message: taking one
// for a source file (shared through the file reference table when the
// source is already in use), letting one go, and giving a session a copy
// of its own before its file is changed, so that sessions sharing a copy
// never see each other's edits.
#include "project/ProjectDocument.h"

#include <string>

namespace pavonia {

class SessionFileCopies {
public:
    explicit SessionFileCopies(ProjectDocument& document) : document_(document) {}

    // The working copy for `source`: the shared one (its count raised) when
    // the source or the copy is in the table, else a new "Session" copy
    // with the given extension, entered with count 1. Empty (nothing
    // entered) when no free name is left or the source cannot be copied.
    std::string acquire(const std::string& source, const std::string& extension);
    // A new, empty working name entered with count 1 as its own source (for
    // a file the program is about to write).
    std::string create(const std::string& extension);
    // Drops one reference; the copy is deleted when none is left.
    void release(const std::string& path);
    enum class OwnCopy {
        Unchanged, // `path` was already its holder's own (or empty)
        Copied,    // `path` now names a new copy of its own
        Failed     // no free name or the copy failed (errno tells which)
    };
    // Makes `path` a copy only its holder uses: a shared copy or one missing
    // from the table is copied under a new name, and a copy used once stops
    // counting as a copy of its source (a later import of that source makes
    // a fresh one). A copy that cannot be made leaves `path` and the table
    // as they were: `path` may then still be shared, so the holder must not
    // write to it.
    OwnCopy makeOwn(std::string& path, const std::string& extension);

    // While a session is muted its voice waits in Temp as "NoMute_" + the
    // name of its message copy. muteMessage keeps the message at `path`
    // aside and copies `silent` over it; false, with the message as it was,
    // when either copy fails.
    bool muteMessage(const std::string& path, const std::string& silent);
    // Puts the kept voice back over `path`; the kept copy goes.
    void unmuteMessage(const std::string& path);
    // Forgets the kept voice of `path`, which a new voice has replaced.
    void dropKeptVoice(const std::string& path);

private:
    std::string keptVoicePath(const std::string& path) const;
    ProjectDocument& document_;
};

} // namespace pavonia
