#include "publish/PreviewShelf.h"

#include "platform/Folders.h"
#include "platform/SystemFolders.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace pavonia {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPreviewPrefix = "Preview-";

// Removes the previews of `shelf` beyond the newest `keep`, newest by the
// time each was shelved.
void prune(const std::string& shelf, int keep)
{
    struct Preview {
        fs::file_time_type shelved;
        fs::path path;
    };
    std::vector<Preview> previews;
    for (const fs::directory_entry& entry : folders::entriesOf(shelf)) {
        std::error_code ec;
        if (entry.path().filename().string().rfind(kPreviewPrefix, 0) != 0 || !folders::isRealFolder(entry))
            continue;
        const fs::file_time_type time = fs::last_write_time(entry.path(), ec);
        if (!ec)
            previews.push_back({time, entry.path()});
    }
    if (previews.size() <= static_cast<std::size_t>(keep))
        return;
    std::sort(previews.begin(), previews.end(), [](const Preview& a, const Preview& b) {
        return a.shelved != b.shelved ? a.shelved > b.shelved : a.path > b.path;
    });
    for (std::size_t i = static_cast<std::size_t>(keep); i < previews.size(); ++i) {
        std::error_code ec;
        fs::remove_all(previews[i].path, ec);
    }
}

} // namespace

std::string shelvePreview(const std::string& staged, const std::string& shelf)
{
    if (!folders::createPath(shelf)) {
        errno = errno ? errno : EACCES;
        return {};
    }
    // An empty folder of a new name, which the preview then replaces.
    std::string pattern = shelf + kPreviewPrefix + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return {};
    const std::string target = pattern + "/";
    std::error_code ec;
    fs::rename(withoutTrailingSeparator(staged), pattern, ec);
    if (ec == std::errc::cross_device_link) {
        // The shelf lies on another disk: copied there, then removed here.
        if (!folders::copyTree(staged, target)) {
            const int error = errno ? errno : EIO;
            fs::remove_all(pattern, ec);
            errno = error;
            return {};
        }
        fs::remove_all(staged, ec);
        ec.clear();
    }
    if (ec) {
        const int error = ec.value() ? ec.value() : EIO;
        fs::remove(pattern, ec);
        errno = error;
        return {};
    }
    // Its shelving time orders it among the others.
    fs::last_write_time(pattern, fs::file_time_type::clock::now(), ec);
    prune(shelf, kKeptPreviews);
    return target;
}

} // namespace pavonia
