#include "publish/CopyMessageExporter.h"

#include <fstream>
#include <iterator>

namespace pavonia {

bool CopyMessageExporter::LoadTpsFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    hasMessage_ = false;
    loaded_.clear();
    if (!in)
        return false;
    loaded_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    hasMessage_ = !in.bad();
    return hasMessage_;
}

bool CopyMessageExporter::SaveTpsFile(const std::string& path, int /*soundQuality*/)
{
    if (!hasMessage_)
        return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(loaded_.data(), static_cast<std::streamsize>(loaded_.size()));
    out.close();
    return static_cast<bool>(out);
}

} // namespace pavonia
