#pragma once
// What the content album shows: the talking images or messages that lie in
// the installation's "Content" folder, folder by folder. The names come from
// the description file "album-3.cnt" where it names a file, otherwise from
// the file's own name; described files come first, in the description's
// order, then the others by name. A folder is shown when something of the
// album's kind lies somewhere below it. Files named in the description but
// missing on disk are left out, and so are hidden files and links.
#include "album/AlbumDescription.h"
#include "album/AlbumKind.h"
#include "platform/Result.h"

#include <optional>
#include <string>
#include <vector>

namespace pavonia {

struct AlbumItem {
    enum class Type { Parent, Folder, File };
    Type type = Type::File;
    std::string path;          // a folder without a trailing "/", or a file
    std::string title;         // what the album writes under the thumbnail
    std::string thumbnailPath; // files: beside the file, with the thumbnail extension; may be missing

    friend bool operator==(const AlbumItem&, const AlbumItem&) = default;
};

class ContentAlbum {
public:
    // `contentFolder` ends with "/".
    ContentAlbum(std::string contentFolder, AlbumKind kind, std::string descriptionName = kAlbumDescriptionName,
                 std::string thumbnailExtension = ".bmp");

    // Looks through the content folder; fails (str::AlbumNoContent) when it
    // is not a folder. A description that cannot be used does not stop the
    // album: it shows the files with their own names, and the description's
    // failure is kept for the dialog to tell.
    Result<> load();
    const std::optional<Failure>& descriptionProblem() const { return descriptionProblem_; }

    AlbumKind kind() const { return kind_; }
    // The content folder without its trailing "/".
    const std::string& rootFolder() const { return root_; }
    // The folder shown now, without a trailing "/".
    const std::string& currentFolder() const { return current_; }
    // Shows `folder` (with or without a trailing "/"), which must be the
    // content folder or a folder below it; false and nothing changes
    // otherwise.
    bool showFolder(const std::string& folder);
    // The shown folder's items: the way up (below the content folder only),
    // the folders, then the files.
    const std::vector<AlbumItem>& items() const { return items_; }
    // Every file of the album's kind, wherever it lies.
    std::size_t fileCount() const { return files_.size(); }

private:
    struct File {
        std::string relative; // "/" between folders
        std::string title;
        std::size_t order; // description order; described files first
    };
    void scan(const std::vector<AlbumEntry>& described);
    void listCurrent();
    std::string relativeOf(const std::string& folder) const;

    std::string contentFolder_;
    AlbumKind kind_;
    std::string descriptionName_;
    std::string thumbnailExtension_;
    std::string root_;
    std::string current_;
    std::optional<Failure> descriptionProblem_;
    std::vector<File> files_;
    std::vector<AlbumItem> items_;
};

} // namespace pavonia
