#include "publish/CopyMessageExporter.h"

#include "platform/FileOps.h"

#include <limits>

namespace pavonia {

bool CopyMessageExporter::LoadTpsFile(const std::string& path)
{
    loaded_.clear();
    hasMessage_ = readWholeFile(path, std::numeric_limits<std::uint64_t>::max(), loaded_) == FileRead::Ok;
    return hasMessage_;
}

bool CopyMessageExporter::SaveTpsFile(const std::string& path, int /*soundQuality*/)
{
    return hasMessage_ && writeFileReplacing(path, loaded_);
}

} // namespace pavonia
