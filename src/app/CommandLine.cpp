#include "app/CommandLine.h"

#include "platform/StringTable.h"
#include "platform/Text.h"

#include <filesystem>

namespace pavonia {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kProjectExtension = ".pvp";

void dropOuterQuotes(std::string& text)
{
    if (!text.empty() && text.front() == '"')
        text.erase(0, 1);
    if (!text.empty() && text.back() == '"')
        text.pop_back();
}

// Where the first ".pvp" that ends a path stops, or npos.
std::size_t endOfProjectName(const std::string& text)
{
    const std::string lower = toLowerAscii(text);
    for (std::size_t at = lower.find(kProjectExtension, 1); at != std::string::npos;
         at = lower.find(kProjectExtension, at + 1)) {
        const std::size_t end = at + kProjectExtension.size();
        if (end == text.size() || text[end] == ' ' || text[end] == '\t' || text[end] == '"')
            return end;
    }
    return std::string::npos;
}

} // namespace

std::string joinedCommandLine(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty())
            line += ' ';
        line += argument;
    }
    return line;
}

std::string cleanFirstInstanceCommandLine(std::string text)
{
    dropOuterQuotes(text);
    if (const std::size_t end = endOfProjectName(text); end != std::string::npos)
        text.resize(end);
    return text;
}

std::string cleanSecondInstanceCommandLine(std::string text)
{
    dropOuterQuotes(text);
    return text;
}

std::string expandedProjectPath(const std::string& path)
{
    if (path.empty())
        return {};
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec).lexically_normal();
    if (ec || !fs::exists(absolute, ec))
        return {};
    return absolute.string();
}

Result<std::string> checkedProjectPath(const std::string& cleaned)
{
    const std::string expanded = expandedProjectPath(cleaned);
    if (expanded.empty() || !equalsIgnoreCase(extensionOf(expanded), "pvp"))
        return Failure(str::InvalidFileToOpen, {expanded.empty() ? cleaned : expanded});
    return expanded;
}

} // namespace pavonia
