#include "album/AlbumDescription.h"

#include "platform/FileOps.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "platform/TextEncoding.h"

#include <set>

namespace pavonia {

namespace {

const char* kindWord(AlbumKind kind) { return kind == AlbumKind::Images ? "image" : "message"; }

std::optional<AlbumKind> kindOf(std::string_view word)
{
    if (word == "image")
        return AlbumKind::Images;
    if (word == "message")
        return AlbumKind::Messages;
    return std::nullopt;
}

bool hasControlCharacter(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return true;
    }
    return false;
}

std::vector<std::string_view> split(std::string_view text, char delimiter)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(delimiter, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos)
            return parts;
        start = at + 1;
    }
}

int reasonText(AlbumDescriptionError error)
{
    switch (error) {
    case AlbumDescriptionError::NotDescription: return str::AlbumNotDescription;
    case AlbumDescriptionError::BadLine: return str::AlbumBadLine;
    case AlbumDescriptionError::BadPath: return str::AlbumBadPath;
    case AlbumDescriptionError::BadTitle: return str::AlbumBadTitle;
    case AlbumDescriptionError::NotUtf8: return str::AlbumNotUtf8;
    case AlbumDescriptionError::Repeated: return str::AlbumRepeatedPath;
    case AlbumDescriptionError::TooLarge: return str::AlbumTooLarge;
    }
    return str::AlbumBadLine;
}

} // namespace

bool isValidAlbumPath(std::string_view path, AlbumKind kind)
{
    if (path.empty() || path.size() > kAlbumMaxPath || path.front() == '/' || hasControlCharacter(path) ||
        path.find('\\') != std::string_view::npos || path.find(':') != std::string_view::npos)
        return false;
    const std::vector<std::string_view> parts = split(path, '/');
    if (parts.size() > kAlbumMaxDepth)
        return false;
    for (const std::string_view part : parts) {
        if (part.empty() || part == "." || part == "..")
            return false;
    }
    const std::string_view name = parts.back();
    const std::string extension = albumExtension(kind);
    // A name of its own before the extension: ".tps" alone is no file of ours.
    return name.size() > extension.size() &&
           equalsIgnoreCase(name.substr(name.size() - extension.size()), extension);
}

bool isValidAlbumTitle(std::string_view title)
{
    return !title.empty() && title.size() <= kAlbumMaxTitle && !hasControlCharacter(title) &&
           trimmed(title).size() == title.size() && isValidUtf8(title);
}

std::optional<AlbumDescriptionRefusal> parseAlbumDescription(std::string_view bytes, std::vector<AlbumEntry>& entries)
{
    using E = AlbumDescriptionError;
    if (bytes.size() > kAlbumMaxFileSize)
        return AlbumDescriptionRefusal{E::TooLarge, 0};
    if (!isValidUtf8(bytes))
        return AlbumDescriptionRefusal{E::NotUtf8, 0};
    std::vector<std::string_view> lines = split(bytes, '\n');
    // A final line break ends the last line; it does not start another.
    if (lines.size() > 1 && lines.back().empty())
        lines.pop_back();
    for (std::string_view& line : lines) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
    }
    if (lines.front() != kAlbumHeader)
        return AlbumDescriptionRefusal{E::NotDescription, 1};

    std::vector<AlbumEntry> read;
    std::set<std::string> seen;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::size_t number = i + 1;
        if (trimmed(line).empty() || line.front() == '#')
            continue;
        const std::vector<std::string_view> fields = split(line, '\t');
        const std::optional<AlbumKind> kind = fields.size() == 3 ? kindOf(fields[0]) : std::nullopt;
        if (!kind)
            return AlbumDescriptionRefusal{E::BadLine, number};
        if (!isValidAlbumPath(fields[1], *kind))
            return AlbumDescriptionRefusal{E::BadPath, number};
        if (!isValidAlbumTitle(fields[2]))
            return AlbumDescriptionRefusal{E::BadTitle, number};
        // Paths name files on a case-blind disk too: "A.tjm" and "a.TJM" are one.
        if (!seen.insert(toLowerAscii(fields[1])).second)
            return AlbumDescriptionRefusal{E::Repeated, number};
        if (read.size() == kAlbumMaxEntries)
            return AlbumDescriptionRefusal{E::TooLarge, number};
        read.push_back({*kind, std::string(fields[1]), std::string(fields[2])});
    }
    entries = std::move(read);
    return std::nullopt;
}

std::optional<std::string> albumDescriptionBytes(const std::vector<AlbumEntry>& entries)
{
    if (entries.size() > kAlbumMaxEntries)
        return std::nullopt;
    std::string bytes = std::string(kAlbumHeader) + "\n";
    std::set<std::string> seen;
    for (const AlbumEntry& entry : entries) {
        if (!isValidAlbumPath(entry.path, entry.kind) || !isValidAlbumTitle(entry.title) ||
            !seen.insert(toLowerAscii(entry.path)).second)
            return std::nullopt;
        bytes += std::string(kindWord(entry.kind)) + '\t' + entry.path + '\t' + entry.title + '\n';
    }
    if (bytes.size() > kAlbumMaxFileSize)
        return std::nullopt;
    return bytes;
}

Result<std::vector<AlbumEntry>> readAlbumDescription(const std::string& path)
{
    std::string bytes;
    switch (readWholeFile(path, kAlbumMaxFileSize, bytes)) {
    case FileRead::Ok:
        break;
    case FileRead::TooLarge:
        return Failure(str::AlbumDescriptionDamaged,
                       {path, "0", StringTable::text(reasonText(AlbumDescriptionError::TooLarge))});
    case FileRead::CannotOpen:
    case FileRead::Failed:
        return Failure::system(str::AlbumDescriptionUnreadable, {path});
    }
    std::vector<AlbumEntry> entries;
    if (const auto refusal = parseAlbumDescription(bytes, entries))
        return Failure(str::AlbumDescriptionDamaged,
                       {path, std::to_string(refusal->line), StringTable::text(reasonText(refusal->error))});
    return entries;
}

Result<> writeAlbumDescription(const std::string& path, const std::vector<AlbumEntry>& entries)
{
    const std::optional<std::string> bytes = albumDescriptionBytes(entries);
    if (!bytes)
        return Failure(str::AlbumDescriptionDamaged,
                       {path, "0", StringTable::text(reasonText(AlbumDescriptionError::BadLine))});
    if (!writeFileReplacing(path, *bytes))
        return Failure::system(str::AlbumDescriptionUnwritable, {path});
    return {};
}

} // namespace pavonia
