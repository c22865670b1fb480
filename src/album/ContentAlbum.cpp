#include "album/ContentAlbum.h"

#include "platform/StringTable.h"
#include "platform/Text.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace pavonia {

namespace {

std::string withoutTrailingSlash(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

bool isHidden(const fs::path& path)
{
    const std::string name = path.filename().string();
    return !name.empty() && name.front() == '.';
}

} // namespace

ContentAlbum::ContentAlbum(std::string contentFolder, AlbumKind kind, std::string descriptionName,
                           std::string thumbnailExtension)
    : contentFolder_(std::move(contentFolder)),
      kind_(kind),
      descriptionName_(std::move(descriptionName)),
      thumbnailExtension_(std::move(thumbnailExtension)),
      root_(withoutTrailingSlash(contentFolder_)),
      current_(root_)
{
}

Result<> ContentAlbum::load()
{
    std::error_code ec;
    if (!fs::is_directory(root_, ec))
        return Failure(str::AlbumNoContent, {contentFolder_});
    descriptionProblem_.reset();
    std::vector<AlbumEntry> described;
    const std::string descriptionPath = root_ + "/" + descriptionName_;
    if (fs::exists(fs::symlink_status(descriptionPath, ec))) {
        Result<std::vector<AlbumEntry>> read = readAlbumDescription(descriptionPath);
        if (read)
            described = std::move(read.value());
        else
            descriptionProblem_ = read.failure();
    }
    scan(described);
    current_ = root_;
    listCurrent();
    return {};
}

void ContentAlbum::scan(const std::vector<AlbumEntry>& described)
{
    // Described names by the path as a case-blind disk would match it.
    std::map<std::string, std::pair<std::string, std::size_t>> titles;
    for (std::size_t i = 0; i < described.size(); ++i) {
        if (described[i].kind == kind_)
            titles.emplace(toLowerAscii(described[i].path), std::pair(described[i].title, i));
    }
    files_.clear();
    const std::string extension = albumExtension(kind_);
    std::error_code ec;
    fs::recursive_directory_iterator it(root_, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        const fs::file_status status = entry.symlink_status(ec);
        if (ec)
            break;
        if (isHidden(entry.path()) || fs::is_symlink(status)) {
            if (fs::is_directory(status))
                it.disable_recursion_pending();
            continue;
        }
        if (fs::is_directory(status)) {
            if (std::size_t(it.depth()) + 2 > kAlbumMaxDepth)
                it.disable_recursion_pending();
            continue;
        }
        const std::string name = entry.path().filename().string();
        if (!fs::is_regular_file(status) || name.size() <= extension.size() ||
            !equalsIgnoreCase(extensionOf(name), extension.substr(1)))
            continue;
        if (files_.size() == kAlbumMaxEntries)
            break;
        // The walk starts at the root, so every path it yields begins with it.
        const std::string relative = entry.path().lexically_relative(root_).generic_string();
        if (relative.empty())
            continue;
        const auto described = titles.find(toLowerAscii(relative));
        if (described != titles.end())
            files_.push_back({relative, described->second.first, described->second.second});
        else
            files_.push_back({relative, baseNameOf(name), kAlbumMaxEntries});
    }
    std::sort(files_.begin(), files_.end(), [](const File& a, const File& b) {
        if (a.order != b.order)
            return a.order < b.order;
        return a.relative < b.relative;
    });
}

std::string ContentAlbum::relativeOf(const std::string& folder) const
{
    if (folder == root_)
        return {};
    return folder.substr(root_.size() + 1);
}

bool ContentAlbum::showFolder(const std::string& folder)
{
    std::string wanted = withoutTrailingSlash(folder);
    std::error_code ec;
    const fs::path normal = fs::path(wanted).lexically_normal();
    wanted = withoutTrailingSlash(normal.generic_string());
    const bool inside = wanted == root_ || (wanted.size() > root_.size() + 1 &&
                                            wanted.compare(0, root_.size() + 1, root_ + "/") == 0);
    if (!inside || !fs::is_directory(fs::symlink_status(wanted, ec)))
        return false;
    current_ = wanted;
    listCurrent();
    return true;
}

void ContentAlbum::listCurrent()
{
    items_.clear();
    const std::string relative = relativeOf(current_);
    const std::string prefix = relative.empty() ? std::string() : relative + "/";
    if (!relative.empty())
        items_.push_back({AlbumItem::Type::Parent, current_.substr(0, current_.rfind('/')),
                          StringTable::text(str::AlbumUpFolder), {}});

    std::set<std::string> folders;
    std::vector<AlbumItem> files;
    for (const File& file : files_) {
        if (file.relative.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string rest = file.relative.substr(prefix.size());
        const std::size_t slash = rest.find('/');
        if (slash != std::string::npos) {
            folders.insert(rest.substr(0, slash));
            continue;
        }
        const std::string path = current_ + "/" + rest;
        const std::string stem = path.substr(0, path.size() - albumExtension(kind_).size());
        files.push_back({AlbumItem::Type::File, path, file.title, stem + thumbnailExtension_});
    }
    for (const std::string& folder : folders)
        items_.push_back({AlbumItem::Type::Folder, current_ + "/" + folder, folder, {}});
    items_.insert(items_.end(), files.begin(), files.end());
}

} // namespace pavonia
