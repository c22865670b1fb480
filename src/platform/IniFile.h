#pragma once
// A settings file in the private-profile format: "[Section]" lines and
// "Key=Value" lines. Sections and keys are found without regard to ASCII
// case, every read looks at the file as it is on disk now, and every write
// goes to disk at once, keeping the order and the other lines of the file.
#include <memory>
#include <optional>
#include <string>

namespace pavonia {

class IniFile {
public:
    // The text that stands for "no value" in the program's files.
    static constexpr const char* kErrorText = "_Error_";

    IniFile() = default;
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    // Binds to `path`. An empty path is accepted and changes nothing; a path
    // that names no existing file is refused and the old binding kept.
    bool bind(const std::string& path);
    const std::string& path() const { return path_; }
    static bool exists(const std::string& path);

    // The value's leading decimal integer (after blanks and a sign); 0 when the
    // value has no digits; `fallback` when the section or key is missing.
    int readInt(const std::string& section, const std::string& key, int fallback) const;
    // The value as a decimal number; `fallback` when missing or "_Error_".
    double readNumber(const std::string& section, const std::string& key, double fallback) const;
    // The value, or nothing when missing or equal to "_Error_" (any case).
    std::optional<std::string> readText(const std::string& section, const std::string& key) const;
    std::string readText(const std::string& section, const std::string& key,
                         const std::string& fallback) const;

    // Writes are refused without a key. The file is created when missing.
    bool writeText(const std::string& section, const std::string& key, const std::string& value);
    bool writeInt(const std::string& section, const std::string& key, int value);
    bool writeNumber(const std::string& section, const std::string& key, double value);
    // Removes one key; true when it was there.
    bool removeKey(const std::string& section, const std::string& key);

    struct Snapshot;

private:
    std::optional<std::string> rawValue(const std::string& section, const std::string& key) const;
    std::string path_;
    // The file as last read, reused while the file on disk is unchanged
    // (same inode, size and change times), so many reads cost one parse.
    mutable std::shared_ptr<const Snapshot> snapshot_;
};

} // namespace pavonia
