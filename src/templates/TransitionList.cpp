#include "templates/TransitionList.h"

#include "platform/IniFile.h"
#include "platform/StringTable.h"
#include "platform/SystemFolders.h"

#include <algorithm>

namespace pavonia {

TransitionList::TransitionList(const std::string& installationFolder)
    : cataloguePath_(withTrailingSeparator(installationFolder) + "Template/" + kCatalogueName)
{
}

std::optional<std::vector<TransitionEntry>> TransitionList::read() const
{
    if (!IniFile::exists(cataloguePath_))
        return std::nullopt;
    const IniFile catalogue(cataloguePath_);
    const int highest = std::min(catalogue.readInt("Global", "TransitionCount", 0), kMaxIndex);
    std::vector<TransitionEntry> entries;
    for (int i = 0; i <= highest; ++i)
        entries.push_back({catalogue.readText("Transition", "Trans" + std::to_string(i), ""), i - 1});
    return entries;
}

std::string TransitionList::lostMessage() const
{
    return StringTable::format(str::IniFileLost, {cataloguePath_});
}

} // namespace pavonia
