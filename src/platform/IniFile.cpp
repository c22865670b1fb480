#include "platform/IniFile.h"

#include "platform/Text.h"

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace pavonia {

namespace {

struct Lines {
    std::vector<std::string> lines;
    std::string newline = "\n";
};

std::string trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

bool readLines(const std::string& path, Lines& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string content = buffer.str();
    if (content.find("\r\n") != std::string::npos)
        out.newline = "\r\n";
    std::size_t start = 0;
    while (start < content.size()) {
        auto end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.lines.push_back(std::move(line));
        start = end + 1;
    }
    return true;
}

bool writeLines(const std::string& path, const Lines& in)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    for (const auto& line : in.lines)
        out << line << in.newline;
    out.flush();
    return static_cast<bool>(out);
}

// The section name of a "[Name]" line, or nothing.
std::optional<std::string> sectionName(const std::string& line)
{
    const std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[')
        return std::nullopt;
    const auto close = t.find(']');
    if (close == std::string::npos)
        return std::nullopt;
    return trim(std::string_view(t).substr(1, close - 1));
}

// The key of a "Key=Value" line, or nothing for comments and other lines.
std::optional<std::string> keyName(const std::string& line)
{
    const std::string t = trim(line);
    if (t.empty() || t[0] == ';')
        return std::nullopt;
    const auto eq = t.find('=');
    if (eq == std::string::npos)
        return std::nullopt;
    return trim(std::string_view(t).substr(0, eq));
}

std::string valueOf(const std::string& line)
{
    const auto eq = line.find('=');
    std::string value = trim(std::string_view(line).substr(eq + 1));
    // A value in matching quotes is given without them.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

struct Location {
    std::optional<std::size_t> section; // line of the section header
    std::optional<std::size_t> key;     // line of the key
    std::size_t sectionEnd = 0;         // one past the last key line of the section
};

Location locate(const Lines& file, const std::string& section, const std::string& key)
{
    Location where;
    bool inside = false;
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        if (auto name = sectionName(file.lines[i])) {
            if (inside)
                break; // the first section of that name is the one used
            if (equalsIgnoreCase(*name, section)) {
                inside = true;
                where.section = i;
                where.sectionEnd = i + 1;
            }
            continue;
        }
        if (!inside)
            continue;
        if (auto name = keyName(file.lines[i])) {
            where.sectionEnd = i + 1;
            if (!where.key && equalsIgnoreCase(*name, key))
                where.key = i;
        }
    }
    return where;
}

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileIdentity& o) const
    {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

std::optional<FileIdentity> identityOf(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

} // namespace

struct IniFile::Snapshot {
    FileIdentity identity;
    Lines file;
};

bool IniFile::bind(const std::string& path)
{
    if (path.empty())
        return true;
    if (!exists(path))
        return false;
    path_ = path;
    return true;
}

bool IniFile::exists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
}

std::optional<std::string> IniFile::rawValue(const std::string& section, const std::string& key) const
{
    if (path_.empty() || section.empty() || key.empty())
        return std::nullopt;
    const auto identity = identityOf(path_);
    if (!identity)
        return std::nullopt;
    if (!snapshot_ || !(snapshot_->identity == *identity)) {
        auto fresh = std::make_shared<Snapshot>();
        if (!readLines(path_, fresh->file))
            return std::nullopt;
        // A file that changed while it was read is read again next time.
        if (const auto after = identityOf(path_); after && *after == *identity)
            fresh->identity = *identity;
        snapshot_ = std::move(fresh);
    }
    const Lines& file = snapshot_->file;
    const Location where = locate(file, section, key);
    if (!where.key)
        return std::nullopt;
    return valueOf(file.lines[*where.key]);
}

int IniFile::readInt(const std::string& section, const std::string& key, int fallback) const
{
    const auto value = rawValue(section, key);
    if (!value)
        return fallback;
    return parseClampedInt(*value);
}

double IniFile::readNumber(const std::string& section, const std::string& key, double fallback) const
{
    const auto value = readText(section, key);
    return value ? parseLeadingDouble(*value) : fallback;
}

std::optional<std::string> IniFile::readText(const std::string& section, const std::string& key) const
{
    auto value = rawValue(section, key);
    if (value && equalsIgnoreCase(*value, kErrorText))
        return std::nullopt;
    return value;
}

std::string IniFile::readText(const std::string& section, const std::string& key,
                              const std::string& fallback) const
{
    return readText(section, key).value_or(fallback);
}

bool IniFile::writeText(const std::string& section, const std::string& key, const std::string& value)
{
    if (path_.empty() || section.empty() || key.empty())
        return false;
    Lines file;
    readLines(path_, file); // a missing file is created
    const Location where = locate(file, section, key);
    if (where.key) {
        const std::string oldKey = *keyName(file.lines[*where.key]);
        file.lines[*where.key] = oldKey + "=" + value;
    } else if (where.section) {
        file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(where.sectionEnd), key + "=" + value);
    } else {
        file.lines.push_back("[" + section + "]");
        file.lines.push_back(key + "=" + value);
    }
    snapshot_.reset();
    return writeLines(path_, file);
}

bool IniFile::writeInt(const std::string& section, const std::string& key, int value)
{
    return writeText(section, key, std::to_string(value));
}

bool IniFile::writeNumber(const std::string& section, const std::string& key, double value)
{
    return writeText(section, key, formatFixed2(value));
}

bool IniFile::removeKey(const std::string& section, const std::string& key)
{
    Lines file;
    if (path_.empty() || !readLines(path_, file))
        return false;
    const Location where = locate(file, section, key);
    if (!where.key)
        return false;
    file.lines.erase(file.lines.begin() + static_cast<std::ptrdiff_t>(*where.key));
    snapshot_.reset();
    return writeLines(path_, file);
}

} // namespace pavonia
