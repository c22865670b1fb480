#include "platform/Result.h"

#include "platform/FileOps.h"
#include "platform/StringTable.h"

namespace pavonia {

std::string Failure::text() const
{
    if (systemError == 0)
        return fillArguments(StringTable::text(message), arguments);
    std::vector<std::string> filled = arguments;
    filled.push_back(systemErrorText(systemError));
    return fillArguments(StringTable::text(message), filled);
}

} // namespace pavonia
