#include "import/MediaImport.h"

#include "import/FitPicture.h"
#include "platform/StringTable.h"
#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace pavonia {

namespace {

struct KindEntry {
    std::string_view extension;
    ImportKind kind;
};

constexpr std::array<KindEntry, 16> kKinds{{
    {"gif", ImportKind::Picture},
    {"jpg", ImportKind::Picture},
    {"jpeg", ImportKind::Picture},
    {"bmp", ImportKind::Picture},
    {"png", ImportKind::Picture},
    {"swf", ImportKind::Clip},
    {"wmv", ImportKind::Clip},
    {"rm", ImportKind::Clip},
    {"ram", ImportKind::Clip},
    {"mp4", ImportKind::Clip},
    {"webm", ImportKind::Clip},
    {"ppt", ImportKind::PowerPoint},
    {"pptx", ImportKind::PowerPoint},
    {"pps", ImportKind::PowerPoint},
    {"ppsx", ImportKind::PowerPoint},
    {"odp", ImportKind::PowerPoint},
}};

// The folder a file was chosen from, as the folder memory keeps it.
std::string folderOfChoice(const std::string& path)
{
    const std::string folder = folderOf(path);
    return folder.empty() ? std::string("./") : folder;
}

} // namespace

ImportKind importKindOf(const std::string& path)
{
    const std::string extension = toLowerAscii(extensionOf(path));
    for (const KindEntry& entry : kKinds)
        if (entry.extension == extension)
            return entry.kind;
    return ImportKind::None;
}

int importSlotOf(ImportKind kind)
{
    switch (kind) {
    case ImportKind::Picture:
        return slot::MediaPicture;
    case ImportKind::Clip:
        return slot::MediaClip;
    case ImportKind::PowerPoint:
        return slot::PowerPoint;
    case ImportKind::None:
        break;
    }
    return -1;
}

int importFilterFor(int lastImportKind)
{
    switch (lastImportKind) {
    case slot::MediaClip:
        return 2;
    case slot::PowerPoint:
        return 3;
    default:
        return 1;
    }
}

bool importExtensionAccepted(const std::string& path)
{
    // A substring test on the whole filter text, so "x.jp" passes too. A
    // name without an extension never does.
    const std::string extension = extensionOf(path);
    if (extension.empty())
        return false;
    return StringTable::text(str::MediaImportFilter).find("." + toLowerAscii(extension)) != std::string::npos;
}

std::string keptOfficeProfile(ProjectDocument& document)
{
    std::string user = document.workingFolder().userFolder();
    if (!user.empty() && user.back() == '/')
        user.pop_back();
    return folderOf(user) + "OfficeProfile/";
}

MediaImport::MediaImport(ProjectDocument& document, TreeOperations& operations, SlideDeckConverter& converter)
    : document_(document), operations_(operations), powerPoint_(document, operations, converter)
{
}

bool MediaImport::acceptable(const std::string& path)
{
    if (!importExtensionAccepted(path)) {
        document_.message(StringTable::format(str::UnsupportedFileFormat, {path}));
        return false;
    }
    // A file named as a picture that is none would make a slide that shows
    // nothing: it is refused before any slide is made.
    if (importKindOf(path) == ImportKind::Picture && !pictureReadable(path)) {
        document_.message(StringTable::format(str::PictureUnreadable, {path}));
        return false;
    }
    return true;
}

MediaImport::Outcome MediaImport::importFiles(std::vector<std::string> paths, int importType)
{
    Outcome outcome;
    BusyCursor busy(document_.ui());
    // Plain byte order of the whole path: "B.jpg" before "a.jpg".
    std::sort(paths.begin(), paths.end());

    ImportKind kind = ImportKind::None;
    TreeItem* item = nullptr;
    for (const std::string& path : paths) {
        if (!acceptable(path))
            continue;
        if (++outcome.accepted == 1) {
            kind = importKindOf(path);
            const int slot = importSlotOf(kind);
            if (slot >= 0) {
                document_.folderMemory().set(slot, folderOfChoice(path));
                document_.lastImportKind = slot;
            }
        }
        switch (kind) {
        case ImportKind::Picture:
        case ImportKind::Clip:
            item = operations_.ImportSlide(path, importType);
            if (item)
                ++outcome.added;
            break;
        case ImportKind::PowerPoint:
            item = powerPoint_.ImportPowerPoint(path, importType);
            outcome.added += powerPoint_.slidesAdded();
            break;
        case ImportKind::None:
            break;
        }
        if (item)
            outcome.last = item;
        if (!item)
            break;
    }

    if (item && item->childCount() == 0 && item->parent())
        operations_.selectionChanged(item->parent());
    return outcome;
}

bool MediaImport::ImportMediaFiles()
{
    BusyCursor busy(document_.ui());
    if (stopPlayback_)
        stopPlayback_();

    FileDialogOptions options;
    options.filter = StringTable::text(str::MediaImportFilter);
    options.initialFilter = importFilterFor(document_.lastImportKind);
    options.startFolder = document_.folderMemory().get(document_.lastImportKind);
    options.multiple = true;
    options.mustExist = true;
    options.picturePreview = true;
    const auto chosen = document_.ui().openFileDialog(options);
    if (!chosen || chosen->empty())
        return false;
    // The dialog hands back the folder and every name, each ended by a
    // terminator, in a result of limited size.
    std::size_t length = folderOf(chosen->front()).size() + 2;
    for (const std::string& path : *chosen)
        length += finalComponent(path).size() + 1;
    if (length > kMaxSelection) {
        document_.message(StringTable::text(str::TooManyImportFiles));
        return false;
    }

    int importType = document_.preferences().importType();
    if (document_.preferences().showImportDlg() != 0 && prompt_) {
        const std::optional<int> answer = prompt_(importType);
        if (!answer)
            return false;
        importType = *answer;
    }
    importFiles(*chosen, importType);
    return true;
}

} // namespace pavonia
