#pragma once
// The media import: pictures, clips and slide decks chosen together become
// slides. Each picture or clip becomes a slide carrying it as its media; a
// slide deck becomes one slide per deck slide (PowerPointImport).
//
// The kind of the whole import is that of the first file accepted, in
// sorted order: a selection of x.jpg and y.ppt imports both as pictures.
// Adding the slides is the project tree's work (TreeOperations::ImportSlide),
// which refuses slides past the limit with its own message.
#include "import/PowerPointImport.h"
#include "import/SlideDeckConverter.h"
#include "project/ProjectDocument.h"
#include "project/TreeOperations.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pavonia {

enum class ImportKind { None, Picture, Clip, PowerPoint };

// The kind of a file by its extension (without regard to case); None for
// an extension of no kind.
ImportKind importKindOf(const std::string& path);
// The folder memory slot of a kind (slot::MediaPicture, slot::MediaClip,
// slot::PowerPoint); -1 for None.
int importSlotOf(ImportKind kind);
// The filter the file dialog shows first after an import of the slot's kind
// (1 pictures, 2 clips, 3 slide decks); 1 for any other value.
int importFilterFor(int lastImportKind);
// Whether the extension of `path` passes the import's extension test: "."
// and the lower-cased extension occur somewhere in the filter text.
bool importExtensionAccepted(const std::string& path);

// Where the office program keeps its profile between deck imports: a folder
// "OfficeProfile/" of the working area, beside "User/" (see
// LibreOfficeConverter::setKeptProfile).
std::string keptOfficeProfile(ProjectDocument& document);

class MediaImport {
public:
    // The most characters the selected names may take together.
    static constexpr std::size_t kMaxSelection = 2048;

    // Asks for the ImportType, starting from `current`; nothing when the
    // user cancels. The settings dialog writes its two preferences itself.
    using ImportTypePrompt = std::function<std::optional<int>(int current)>;

    MediaImport(ProjectDocument& document, TreeOperations& operations, SlideDeckConverter& converter);

    // Without a prompt the stored ImportType is used as if the dialog were
    // switched off.
    void setImportTypePrompt(ImportTypePrompt prompt) { prompt_ = std::move(prompt); }
    // Called first, to stop any voice playback of the slide voice page.
    void setStopPlayback(std::function<void()> stop) { stopPlayback_ = std::move(stop); }

    // The command: asks for the files (in the folder of the last import
    // kind, its filter first) and the ImportType, then imports. True when the
    // import ran, even if some files were refused; false when the user
    // cancelled or chose more than the dialog can hold.
    bool ImportMediaFiles();

    struct Outcome {
        int accepted = 0;          // files that passed the checks
        int added = 0;             // slides added
        TreeItem* last = nullptr;  // the item of the most recent add
    };
    // Imports `paths` with `importType`, as the command does once the files
    // and the ImportType are known: sorted by plain byte order, each checked,
    // the kind taken from the first accepted file, stopping at the first add
    // that fails.
    Outcome importFiles(std::vector<std::string> paths, int importType);

private:
    bool acceptable(const std::string& path);

    ProjectDocument& document_;
    TreeOperations& operations_;
    PowerPointImport powerPoint_;
    ImportTypePrompt prompt_;
    std::function<void()> stopPlayback_;
};

} // namespace pavonia
