#pragma once
// The content library's description file "album-3.cnt": which talking images
// and messages the library holds, where they lie below the content folder and
// the name the album shows for each. A UTF-8 text file, one entry a line
// (the layout is in docs/content-album.md):
//
//     PAVONIA-ALBUM 3
//     # a comment
//     image<TAB>Ada.tjm<TAB>Ada
//     message<TAB>Greetings/Welcome.tps<TAB>Welcome to the presentation
//
// The reader refuses a file that is not wholly valid and says at which line
// and why; a path never leaves the content folder.
#include "album/AlbumKind.h"
#include "platform/Result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavonia {

inline constexpr const char* kAlbumDescriptionName = "album-3.cnt";
inline constexpr const char* kAlbumHeader = "PAVONIA-ALBUM 3";
// Limits that keep a hostile file from costing much.
inline constexpr std::size_t kAlbumMaxFileSize = 1u << 20;
inline constexpr std::size_t kAlbumMaxEntries = 4096;
inline constexpr std::size_t kAlbumMaxPath = 400;
inline constexpr std::size_t kAlbumMaxTitle = 200;
inline constexpr std::size_t kAlbumMaxDepth = 8;

struct AlbumEntry {
    AlbumKind kind = AlbumKind::Images;
    std::string path;  // relative to the content folder, "/" between folders
    std::string title; // the name the album shows

    friend bool operator==(const AlbumEntry&, const AlbumEntry&) = default;
};

// Why a description was refused (each has a text in the string table).
enum class AlbumDescriptionError {
    NotDescription, // no "PAVONIA-ALBUM 3" first line
    BadLine,        // not three fields, or an unknown kind
    BadPath,        // empty, absolute, "." or "..", a backslash, too deep or long, wrong extension
    BadTitle,       // empty, too long, control characters
    NotUtf8,
    Repeated,       // a path described twice
    TooLarge,       // too many entries or too many bytes
};

struct AlbumDescriptionRefusal {
    AlbumDescriptionError error;
    std::size_t line; // 1-based; 0 for the file as a whole
};

// True for a relative path the description may hold for `kind`.
bool isValidAlbumPath(std::string_view path, AlbumKind kind);
bool isValidAlbumTitle(std::string_view title);

// Parses the bytes of a description file into `entries` (left alone on refusal).
std::optional<AlbumDescriptionRefusal> parseAlbumDescription(std::string_view bytes, std::vector<AlbumEntry>& entries);
// The bytes of a description file; nothing when an entry is not valid or a
// path repeats.
std::optional<std::string> albumDescriptionBytes(const std::vector<AlbumEntry>& entries);

// The same on files. A refusal is str::AlbumDescriptionDamaged with the path,
// the line and the reason; a file that cannot be read str::AlbumDescriptionUnreadable.
Result<std::vector<AlbumEntry>> readAlbumDescription(const std::string& path);
// Writes through a temporary file beside `path`, so a failed write leaves
// the old file whole.
Result<> writeAlbumDescription(const std::string& path, const std::vector<AlbumEntry>& entries);

} // namespace pavonia
