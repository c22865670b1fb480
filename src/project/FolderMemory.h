#pragma once
// The folder each kind of file dialog starts in, remembered for the run (not
// saved). Twelve slots, one per purpose; slot 8 is unused.
#include "platform/Registry.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace pavonia {

namespace slot {
inline constexpr int TalkingImage = 0;
inline constexpr int TalkingMessage = 1;
inline constexpr int MediaPicture = 2;
inline constexpr int MediaClip = 3;
inline constexpr int Project = 4;
inline constexpr int Wave = 5;
inline constexpr int Html = 6;
inline constexpr int Background = 7;
inline constexpr int Program = 9;
inline constexpr int PowerPoint = 10;
inline constexpr int Mp3 = 11;
} // namespace slot

class FolderMemory {
public:
    static constexpr int kSlots = 12;
    // Where the system's shell keeps the user's folders, and the value that
    // names the documents folder.
    static constexpr const char* kShellFoldersKey =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    static constexpr const char* kPersonalValue = "Personal";
    static constexpr const char* kInstallPathValue = "Install Path";
    using DocumentsQuery = std::function<std::optional<std::string>()>;

    // `documentsQuery` answers the system's documents folder (nothing when
    // the system cannot tell).
    FolderMemory(std::string installationFolder, const Registry& registry, DocumentsQuery documentsQuery);

    // The slot's folder with a trailing "/", its default computed (and the
    // folder created) when the slot is empty or its folder is gone; with
    // `fileName` appended when given. A slot outside 0..11 remembers nothing
    // and answers the documents folder.
    std::string get(int slot, const std::string& fileName = {});
    // Remembers `folder` (a trailing "/" is added when missing).
    void set(int slot, std::string folder);

    // The program's own key under the local machine root,
    // "Software\<maker>\<product>\<version>".
    static std::string productKey();

private:
    std::string defaultFolder(int slot) const;
    std::string documentsFolder() const;

    std::string installationFolder_;
    const Registry& registry_;
    DocumentsQuery documentsQuery_;
    std::array<std::string, kSlots> folders_;
};

} // namespace pavonia
