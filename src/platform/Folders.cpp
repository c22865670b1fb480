#include "platform/Folders.h"

#include "platform/FileOps.h"
#include "platform/SystemFolders.h"
#include "platform/Text.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace pavonia {

namespace fs = std::filesystem;

namespace {

// Every entry of a tree below `folder`, parents before their children. Links
// to folders are listed but not entered. The list is taken before anything is
// changed, so the caller may delete or create entries while working through it.
std::vector<fs::directory_entry> treeOf(const fs::path& folder)
{
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec))
        entries.push_back(*it);
    return entries;
}

// `folder` without "." and ".." and without a trailing "/".
fs::path normalFolder(const std::string& folder)
{
    return withoutTrailingSeparator(fs::path(folder).lexically_normal().string());
}

// True when `path` is `folder` or lies below it (both without "." and "..").
bool isWithin(const fs::path& path, const fs::path& folder)
{
    const auto [stop, rest] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    (void)rest;
    return stop == folder.end();
}

} // namespace

namespace folders {

void deleteFile(const std::filesystem::path& path)
{
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if (ec || status.type() == fs::file_type::not_found || status.type() == fs::file_type::directory)
        return;
    fs::remove(path, ec);
}

bool isRealFolder(const fs::directory_entry& entry)
{
    std::error_code ec;
    return entry.symlink_status(ec).type() == fs::file_type::directory;
}

std::vector<fs::directory_entry> entriesOf(const fs::path& folder)
{
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(*it);
    return entries;
}

void deleteFilesWhere(const std::string& folder, const std::function<bool(const std::string&)>& wanted)
{
    for (const fs::directory_entry& entry : entriesOf(folder))
        if (!isRealFolder(entry) && wanted(entry.path().filename().string()))
            deleteFile(entry.path());
}

void deleteMatching(const std::string& folder, const std::string& pattern)
{
    deleteFilesWhere(folder, [&](const std::string& name) { return wildcardMatch(pattern, name); });
}

void deleteFilesRecursively(const std::string& folder)
{
    for (const fs::directory_entry& entry : treeOf(folder))
        if (!isRealFolder(entry))
            deleteFile(entry.path());
}

void deleteFilesExcept(const std::string& folder, const std::string& keepExtension)
{
    const std::vector<fs::directory_entry> tree = treeOf(folder);
    for (const fs::directory_entry& entry : tree)
        if (!isRealFolder(entry) && !equalsIgnoreCase(extensionOf(entry.path().filename().string()), keepExtension))
            deleteFile(entry.path());
    // Children come after their parents in the list: going backwards empties
    // a folder's sub-folders before the folder itself is tried.
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
        std::error_code ec;
        if (isRealFolder(*it) && fs::is_empty(it->path(), ec) && !ec)
            fs::remove(it->path(), ec);
    }
}

bool copyTree(const std::string& from, const std::string& to)
{
    std::error_code ec;
    if (!fs::is_directory(from, ec)) {
        errno = ENOTDIR;
        return false;
    }
    if (!createPath(to))
        return false;
    const fs::path source = normalFolder(from);
    const fs::path target = normalFolder(to);
    // A target inside the source is not copied again into itself.
    std::error_code targetError, sourceError;
    const fs::path targetReal = fs::weakly_canonical(target, targetError);
    const fs::path sourceReal = fs::weakly_canonical(source, sourceError);
    const bool targetInSource = !targetError && !sourceError && isWithin(targetReal, sourceReal);
    for (const fs::directory_entry& entry : treeOf(source)) {
        if (targetInSource && isWithin(fs::weakly_canonical(entry.path(), ec), targetReal))
            continue;
        const fs::path destination = target / entry.path().lexically_relative(source);
        // The first failure ends the copy, with errno telling why.
        if (isRealFolder(entry)) {
            if (!createPath(destination.string()))
                return false;
        } else if (!fs::is_directory(entry.path(), ec)) { // a link to a folder is not followed
            if (!copyIntoNewFile(entry.path().string(), destination.string(), Creation::Replace))
                return false;
        }
    }
    return true;
}

bool createPath(const std::string& folder)
{
    if (folder.empty())
        return false;
    std::error_code ec;
    fs::create_directories(folder, ec);
    std::error_code checked;
    if (fs::is_directory(folder, checked))
        return true;
    errno = ec ? ec.value() : ENOTDIR;
    return false;
}

std::string firstMatching(const std::string& folder, const std::string& pattern)
{
    std::vector<fs::path> matches;
    for (const fs::directory_entry& entry : entriesOf(folder))
        if (wildcardMatch(pattern, entry.path().filename().string()))
            matches.push_back(entry.path());
    const auto byName = [](const fs::path& a, const fs::path& b) {
        const std::string nameA = a.filename().string(), nameB = b.filename().string();
        const std::string foldedA = toLowerAscii(nameA), foldedB = toLowerAscii(nameB);
        return foldedA != foldedB ? foldedA < foldedB : nameA < nameB;
    };
    const auto first = std::min_element(matches.begin(), matches.end(), byName);
    return first == matches.end() ? std::string() : first->string();
}

} // namespace folders

} // namespace pavonia
