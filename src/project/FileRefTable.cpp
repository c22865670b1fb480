#include "project/FileRefTable.h"

#include "platform/Text.h"

namespace pavonia {

std::optional<std::size_t> FileRefTable::find(const std::string& path) const
{
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (equalsIgnoreCase(entries_[i].source, path) || equalsIgnoreCase(entries_[i].copy, path))
            return i;
    return std::nullopt;
}

std::size_t FileRefTable::add(std::string source, std::string copy)
{
    entries_.push_back({std::move(source), std::move(copy), 1});
    return entries_.size() - 1;
}

void FileRefTable::removeAt(std::size_t index)
{
    if (index < entries_.size())
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

} // namespace pavonia
