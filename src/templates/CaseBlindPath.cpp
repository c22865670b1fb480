#include "templates/CaseBlindPath.h"

#include "platform/Text.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace pavonia {

namespace {

// The name of the entry of `folder` equal to `name` without regard to case
// (`name` itself when it exists as written); nothing when no entry matches.
std::optional<std::string> actualName(const std::string& folder, const std::string& name)
{
    std::error_code error;
    if (fs::exists(fs::path(folder + name), error))
        return name;
    if (name.empty() || name == "." || name == "..")
        return std::nullopt;
    fs::directory_iterator it(fs::path(folder), error);
    if (error)
        return std::nullopt;
    std::string best;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            break;
        const std::string candidate = it->path().filename().string();
        // Several names may differ only in case; take the same one every time.
        if (equalsIgnoreCase(candidate, name) && (best.empty() || candidate < best))
            best = candidate;
    }
    if (best.empty())
        return std::nullopt;
    return best;
}

} // namespace

std::string resolveCaseBlind(const std::string& folder, const std::string& relative)
{
    std::string path = folder;
    std::size_t start = 0;
    bool found = true;
    while (start <= relative.size()) {
        const std::size_t slash = relative.find('/', start);
        const std::size_t end = slash == std::string::npos ? relative.size() : slash;
        const std::string component = relative.substr(start, end - start);
        const std::optional<std::string> name = found ? actualName(path, component) : std::nullopt;
        found = name.has_value();
        path += name.value_or(component);
        if (slash == std::string::npos)
            break;
        path += '/';
        start = slash + 1;
    }
    return path;
}

std::vector<std::string> matchingEntries(const std::string& folder, const std::string& pattern)
{
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(fs::path(folder), error);
    if (error)
        return names;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            break;
        std::string name = it->path().filename().string();
        if (wildcardMatch(pattern, name))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = toLowerAscii(a);
        const std::string lb = toLowerAscii(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

bool isFile(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(fs::path(path), error);
}

bool isFolder(const std::string& path)
{
    std::error_code error;
    return fs::is_directory(fs::path(path), error);
}

} // namespace pavonia
