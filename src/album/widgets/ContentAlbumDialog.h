#pragma once
// The content album dialog ("Import Talking Image/Message"): the album of
// the installation's content library above the file-name field and the
// file-type entry, with "Open" and "Cancel" beside them, and for talking
// messages a preview that speaks the chosen message while "Preview" is
// checked. Only shows ContentAlbumLogic and forwards to it.
//
// Entry point:
//   std::optional<std::string> runContentAlbum(QWidget* parent, const std::string& installationFolder,
//                                              AlbumKind kind, const ContentAlbumServices& services = {});
// shows the dialog modally and returns the chosen file's full path (".tjm"
// or ".tps" by kind) on Open, nothing on Cancel.
#include "album/AlbumKind.h"
#include "album/ContentAlbumLogic.h"
#include "voice/AudioDevice.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;

namespace pavonia {

class AlbumView;
class TpsPreview;

// What the dialog works with besides the installation; each may be left out.
struct ContentAlbumServices {
    Ui* ui = nullptr;                   // messages; none: message boxes of the dialog's own
    const Registry* registry = nullptr; // the library's root index; none: no registry values
    Shell* shell = nullptr;             // opens the web link; none: the desktop's
    // The preview's sound: a device no voice engine is using while the
    // dialog is open (the preview's engine takes it over and lets it go on
    // closing). None: the dialog opens the system's default output for
    // itself, or previews without sound when there is none; the slide voice
    // page leaves it out and stops its own playback first.
    AudioDevice* audio = nullptr;
    bool openSystemAudio = true;        // false: no sound unless `audio` is given
    // A folder of the content library to start in and the name of the file
    // to start on; used only when both are given.
    std::string startFolder;
    std::string startString;
};

class ContentAlbumDialog : public QDialog {
    Q_OBJECT
public:
    ContentAlbumDialog(ContentAlbumLogic& logic, AudioDevice* audio, QWidget* parent = nullptr);
    ~ContentAlbumDialog() override;

    // Null when the content library could not be loaded.
    AlbumView* album() const { return album_; }
    TpsPreview* preview() const { return preview_; }
    QLineEdit* nameField() const { return name_; }
    QComboBox* typeList() const { return type_; }
    QPushButton* openButton() const { return open_; }
    QCheckBox* previewBox() const { return previewBox_; }
    const ContentAlbumLogic& logic() const { return logic_; }

    void accept() override;
    void done(int result) override;

private:
    void showState();

    ContentAlbumLogic& logic_;
    AlbumView* album_ = nullptr;
    QFrame* frame_ = nullptr;
    TpsPreview* preview_ = nullptr;
    QCheckBox* previewBox_ = nullptr;
    QLineEdit* name_ = nullptr;
    QComboBox* type_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

std::optional<std::string> runContentAlbum(QWidget* parent, const std::string& installationFolder, AlbumKind kind,
                                           const ContentAlbumServices& services = {});

} // namespace pavonia
