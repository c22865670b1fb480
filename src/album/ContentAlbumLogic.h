#pragma once
// The content album dialog without its widgets: the file-name field, the
// file-type entry, the "Preview" switch of messages and the OK rules around
// an album, and what the album is set up with. The widget shows the fields,
// forwards the album's events and the user's edits, and closes as ok() says.
// The view learns of changes through setViewChanged (see ViewNotifier).
#include "album/AlbumKind.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Ui.h"
#include "platform/ViewNotifier.h"

#include <optional>
#include <string>
#include <tuple>
#include <utility>

namespace pavonia {

// The album as the dialog asks it things.
class AlbumControl {
public:
    virtual ~AlbumControl() = default;
    // True when the selection is a folder or nothing.
    virtual bool selectionIsNotFile() const = 0;
    // The full path of the selected item.
    virtual std::string selectedPath() const = 0;
    // The folder shown now, without a trailing "/".
    virtual std::string currentFolder() const = 0;
    // The file the dialog was to return cannot be opened.
    virtual void cannotOpen(const std::string& path, int systemError) = 0;
};

// The message preview: plays the talking message it was given.
class MessagePreview {
public:
    virtual ~MessagePreview() = default;
    virtual void startPreview() = 0;
    virtual void stopPreview() = 0;
    virtual void loadTps(const std::string& path) = 0;
};

// What the album is set up with, in the order the dialog hands it over.
struct AlbumSetup {
    std::string resourceLibrary;    // "QBPVResource.dll" in the installation folder
    std::string descriptionName;    // "album-3.cnt"
    std::string thumbnailExtension; // ".bmp"
    std::string contentFolder;      // the installation folder and "Content/"
    std::string rootIndex;          // the library's root index file (see rootIndexPath)
    AlbumKind kind = AlbumKind::Images;
    std::string background;         // "album-bg-r.bmp" in the content folder
    // The start folder and second start string, when the caller gave both.
    std::optional<std::pair<std::string, std::string>> start;
};

class ContentAlbumLogic : public ViewNotifier<ContentAlbumLogic> {
public:
    // `installationFolder` ends with "/". The start folder and string are
    // handed to the album only when both are given.
    ContentAlbumLogic(std::string installationFolder, AlbumKind kind, const Registry& registry, Shell& shell, Ui& ui,
                      std::string startFolder = {}, std::string startString = {});

    auto visibleState() const { return std::tuple(name_, okEnabled_, previewChecked_); }

    AlbumKind kind() const { return kind_; }
    const std::string& installationFolder() const { return installationFolder_; }
    // The installation folder and "Content/".
    std::string contentFolder() const;
    AlbumSetup setup() const;
    // The value "QB_Path" of the product's machine-wide key, ending with a
    // separator, followed by "tps/root.ini" or "tjm/root.ini"; an absent value
    // reads as empty.
    static std::string rootIndexPath(const Registry& registry, AlbumKind kind);

    // The dialog opens over `album` (null when the album could not be made:
    // the dialog then shows its plain fields) and `preview`, which is
    // stopped. Both must outlive the logic's use.
    void open(AlbumControl* album, MessagePreview& preview);

    // The fields.
    std::string caption() const;
    std::string typeEntry() const;
    const std::string& name() const { return name_; }
    bool okEnabled() const { return okEnabled_; }
    // "Preview" is shown for messages only, and starts checked.
    bool previewShown() const { return kind_ == AlbumKind::Messages; }
    bool previewChecked() const { return previewChecked_; }

    // The album's selection changed to `path` (its event 1).
    void selectionChanged(const std::string& path);
    // An item was activated (event 6): its path is taken; true when the
    // widget is now to press OK. Only the first activation counts.
    bool itemActivated(const std::string& path);
    // "Add from web" (event 7): opens the web link of the kind's library;
    // true when the widget is now to cancel. Only once, and never after an
    // activation.
    bool addFromWeb();
    // The user typed in the name field.
    void editName(const std::string& text);
    void setPreviewChecked(bool checked);

    // OK: true when the dialog is to close; result() then holds the chosen
    // file (nothing when the dialog had no album).
    bool ok();
    const std::optional<std::string>& result() const { return result_; }
    // The dialog goes: the preview stops.
    void close();

private:
    void takeSelection(const std::string& path);
    void refreshPreview();

    std::string installationFolder_;
    AlbumKind kind_;
    const Registry& registry_;
    Shell& shell_;
    Ui& ui_;
    std::string startFolder_;
    std::string startString_;
    AlbumControl* album_ = nullptr;
    MessagePreview* preview_ = nullptr;

    std::string name_;
    bool okEnabled_ = false;
    bool previewChecked_ = true;
    bool fileChosen_ = false;
    bool closing_ = false;
    std::optional<std::string> result_;
};

} // namespace pavonia
