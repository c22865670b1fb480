#include "publish/CopyMessageExporter.h"

#include "platform/FileOps.h"
#include "platform/StringTable.h"

#include <limits>

namespace pavonia {

bool CopyMessageExporter::LoadTpsFile(const std::string& path)
{
    loaded_.clear();
    error_ = {};
    hasMessage_ = readWholeFile(path, std::numeric_limits<std::uint64_t>::max(), loaded_) == FileRead::Ok;
    if (!hasMessage_)
        error_ = Failure::system(str::VoiceCannotOpen, {path});
    return hasMessage_;
}

bool CopyMessageExporter::SaveTpsFile(const std::string& path, int /*soundQuality*/)
{
    error_ = {};
    if (!hasMessage_) {
        error_ = Failure(str::VoiceNotMessage, {path});
        return false;
    }
    // The message is a working file: a link in its place is not followed.
    if (!writeFileReplacing(path, loaded_, LinkTarget::Replace)) {
        error_ = Failure::system(str::VoiceWriteFailed, {path});
        return false;
    }
    return true;
}

} // namespace pavonia
