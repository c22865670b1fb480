#include "project/SessionFileCopies.h"

#include "platform/FileOps.h"
#include "platform/Text.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace pavonia {

std::string SessionFileCopies::acquire(const std::string& source, const std::string& extension)
{
    FileRefTable& refs = document_.settings().fileRefs;
    if (const auto index = refs.find(source)) {
        refs.increment(*index);
        return refs[*index].copy;
    }
    const std::string copy = document_.workingFolder().makeCopyName("Session", extension);
    if (copy.empty() || !copyIntoNewFile(source, copy, Creation::New))
        return {};
    refs.add(source, copy);
    return copy;
}

std::string SessionFileCopies::create(const std::string& extension)
{
    const std::string copy = document_.workingFolder().makeCopyName("Session", extension);
    if (!copy.empty())
        document_.settings().fileRefs.add(copy, copy);
    return copy;
}

void SessionFileCopies::release(const std::string& path)
{
    // The working folder releases a session's two files; hand it only this one.
    SessionData only;
    only.talkingImagePath.clear();
    only.talkingMessagePath = path;
    document_.workingFolder().releaseSession(only, {});
}

SessionFileCopies::OwnCopy SessionFileCopies::makeOwn(std::string& path, const std::string& extension)
{
    if (path.empty())
        return OwnCopy::Unchanged;
    FileRefTable& refs = document_.settings().fileRefs;
    const auto index = refs.find(path);
    if (index && refs[*index].refCount == 1) {
        // The copy is about to differ from the file it was made from.
        if (!equalsIgnoreCase(refs[*index].source, refs[*index].copy)) {
            const std::string copy = refs[*index].copy;
            refs.removeAt(*index);
            refs.add(copy, copy);
        }
        return OwnCopy::Unchanged;
    }
    const std::string copy = document_.workingFolder().makeCopyName("Session", extension);
    if (copy.empty()) {
        errno = EEXIST; // every name of the minute is taken
        return OwnCopy::Failed;
    }
    if (!copyIntoNewFile(path, copy, Creation::New))
        return OwnCopy::Failed;
    if (index) {
        refs.decrement(*index);
        if (refs[*index].refCount < 1)
            refs.removeAt(*index);
    }
    refs.add(copy, copy);
    path = copy;
    return OwnCopy::Copied;
}

std::string SessionFileCopies::keptVoicePath(const std::string& path) const
{
    return document_.workingFolder().tempFolder() + "NoMute_" + finalComponent(path);
}

bool SessionFileCopies::muteMessage(const std::string& path, const std::string& silent)
{
    const std::string current = document_.workingFolder().tempFolder() + finalComponent(path);
    const std::string kept = keptVoicePath(path);
    // Without a kept copy the voice could never come back: nothing is
    // overwritten unless the copy was made. Each copy replaces what has the
    // name, never writing through a link planted there.
    if (!copyIntoNewFile(current, kept, Creation::Replace))
        return false;
    if (copyIntoNewFile(silent, current, Creation::Replace))
        return true;
    // The silent message got only part of the way: the voice goes back.
    if (copyIntoNewFile(kept, current, Creation::Replace))
        std::remove(kept.c_str());
    return false;
}

void SessionFileCopies::unmuteMessage(const std::string& path)
{
    const std::string kept = keptVoicePath(path);
    std::error_code ec;
    if (std::filesystem::is_regular_file(kept, ec) &&
        copyIntoNewFile(kept, document_.workingFolder().tempFolder() + finalComponent(path), Creation::Replace))
        std::remove(kept.c_str());
}

void SessionFileCopies::dropKeptVoice(const std::string& path) { std::remove(keptVoicePath(path).c_str()); }

} // namespace pavonia
